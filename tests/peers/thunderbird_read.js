/* SPDX-License-Identifier: MIT */
// Reads a vCard file as Thunderbird's address-book import does (its own
// AddrBookFileImporter, into an address book that only collects the cards)
// and prints what it found as JSON, one object per contact. Run with
// `thunderbird -xpcshell` by tests/tools/check_contacts_exports.py --peer;
// the file's absolute path is the first argument. Prints {"refused":
// reason} when the import throws.
const { AddrBookFileImporter } = ChromeUtils.importESModule(
  "resource:///modules/AddrBookFileImporter.sys.mjs"
);

const cards = [];
const collector = {
  dirName: "collector",
  addCard(card) {
    cards.push(card);
    return card;
  },
};

// A value as Thunderbird holds it; one it split where a single text was
// written is handed on as it is, so that it cannot pass for the text.
function text(value) {
  if (value === null || value === undefined) {
    return "";
  }
  return value;
}

function asJson(card) {
  const v = card.vCardProperties;
  const name = v.getFirstValue("n") || [];
  const part = i => text(Array.isArray(name) ? name[i] : i == 0 ? name : "");
  const phones = [];
  for (const entry of v.getAllEntries("tel")) {
    const types = [].concat(entry.params.type || []).map(t => t.toLowerCase());
    phones.push({ number: text(entry.value), fax: types.includes("fax") });
  }
  const adr = v.getAllEntries("adr").find(e =>
    [].concat(e.params.type || []).map(t => t.toLowerCase()).includes("home")
  );
  return {
    fn: text(v.getFirstValue("fn")),
    family: part(0),
    given: part(1),
    nickname: text(v.getFirstValue("nickname")),
    emails: v.getAllValues("email").map(text),
    phones,
    note: text(v.getFirstValue("note")),
    street: adr ? text(adr.value[2]) : "",
    label: adr ? text(adr.params.label) : "",
    url: text(v.getFirstValue("url")),
    photo: text(v.getFirstValue("photo")),
  };
}

let done = false;
let result;
const file = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsIFile);
file.initWithPath(arguments[0]);
new AddrBookFileImporter("vcard")
  .startImport(file, collector)
  .then(
    () => (result = cards.map(asJson)),
    error => (result = { refused: String(error) })
  )
  .finally(() => (done = true));
Services.tm.spinEventLoopUntil("import", () => done);
dump(JSON.stringify(result) + "\n");
