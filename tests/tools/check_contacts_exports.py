#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Reads every contacts output of quarvo-convert back with parsers of its
own: each vCard with vobject, each CSV with the csv module against the
header its address book expects, and compares what they find with the
contacts of the .adr file as read here.

usage: check_contacts_exports.py QUARVO-CONVERT FILE.adr...
       check_contacts_exports.py --peer evolution|kcontacts|thunderbird QUARVO-CONVERT FILE.adr...

With --peer, the vCards of every version and encoding are imported by that
real address book instead (tests/peers/ holds the small readers) and every
field it shows is compared; vCard 3.0 in Windows-1252 must be refused.
Exits 77 (skipped) when vobject, or the peer, is not installed."""
import csv
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PEERS = os.path.join(os.path.dirname(HERE), "peers")
SKIP = 77

BREAK = "\x02\x02"

# The headers as each importer knows them (the first columns, in order).
HEADERS = {
    "wab": ["First Name", "Last Name", "Middle Name", "Name", "Nickname", "E-mail Address"],
    "outlook": ["First Name", "Last Name", "E-mail Address", "E-mail 2 Address", "E-mail 3 Address"],
    "thunderbird": ["First Name", "Last Name", "Display Name", "Nickname", "Primary Email",
                    "Secondary Email", "Screen Name", "Work Phone", "Home Phone", "Fax Number",
                    "Pager Number", "Mobile Number", "Home Address", "Home Address 2", "Home City",
                    "Home State", "Home ZipCode", "Home Country", "Work Address", "Work Address 2",
                    "Work City", "Work State", "Work ZipCode", "Work Country", "Job Title",
                    "Department", "Organization", "Web Page 1", "Web Page 2", "Birth Year",
                    "Birth Month", "Birth Day", "Custom 1", "Custom 2", "Custom 3", "Custom 4",
                    "Notes"],
    "google": ["First Name", "Middle Name", "Last Name", "Phonetic First Name",
               "Phonetic Middle Name", "Phonetic Last Name", "Name Prefix", "Name Suffix",
               "Nickname", "File As", "Organization Name", "Organization Title",
               "Organization Department", "Birthday", "Notes", "Photo", "Labels",
               "E-mail 1 - Label", "E-mail 1 - Value"],
}
FIRST_MAIL = {"wab": "E-mail Address", "outlook": "E-mail Address",
              "thunderbird": "Primary Email", "google": "E-mail 1 - Value"}
DECODE = {"utf8": "utf-8", "utf8-bom": "utf-8-sig", "ansi": "cp1252"}

failures = 0


def check(what, expected, actual):
    global failures
    if expected != actual:
        failures += 1
        print(f"FAIL: {what}: expected {expected!r}, got {actual!r}")


def read_contacts(data):
    """The contacts of an .adr file: (values, in_trash) in file order. A
    value that is not UTF-8 is read as Windows-1252, as Opera 6 wrote it."""
    def text(value):
        try:
            return value.decode("utf-8")
        except UnicodeDecodeError:
            return value.decode("cp1252", "replace")

    contacts, folders, entry = [], [], None
    for raw in re.split(rb"\r\n|\r|\n", data):
        line = text(raw)
        stripped = line.strip(" \t")
        if not stripped or stripped == "-" or stripped.startswith("#"):
            if entry is not None and entry[0] == "folder":
                folders.append(entry[1].get("TRASH FOLDER") == "YES")
            entry = None
            if stripped == "-" and folders:
                folders.pop()
            if stripped == "#CONTACT":
                entry = ("contact", {})
                contacts.append((entry[1], any(folders)))
            elif stripped == "#FOLDER":
                entry = ("folder", {})
            continue
        if entry is not None and "=" in stripped:
            key = stripped.split("=", 1)[0]
            entry[1].setdefault(key, line.split("=", 1)[1])
    return contacts


def mails(values):
    return [m.strip(" \t") for m in values.get("MAIL", "").split(BREAK) if m.strip(" \t")]


def display_name(values):
    for key in ("NAME", "SHORT NAME"):
        if values.get(key, "").strip(" \t"):
            return values[key].replace(BREAK, " ")
    found = mails(values)
    return found[0] if found else ""


def in_encoding(text, encoding):
    return text.encode("cp1252", "replace").decode("cp1252") if encoding == "ansi" else text


def convert(tool, source, output, *options):
    subprocess.run([tool, "--contacts", source, output, *options], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(output, "rb") as f:
        return f.read()


def check_refused(tool, source, folder):
    """vCard 3.0 cannot name a character set: Windows-1252 is refused."""
    output = os.path.join(folder, "refused.vcf")
    done = subprocess.run([tool, "--contacts", source, output, "--encoding", "ansi"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(f"{os.path.basename(source)} vCard 3.0 ansi: refused", (2, False),
          (done.returncode, os.path.exists(output)))


def check_vcards(tool, source, contacts, folder):
    import vobject
    check_refused(tool, source, folder)
    for version, encoding in (("3.0", "utf8"), ("3.0", "utf8-bom"), ("2.1", "utf8"),
                              ("2.1", "utf8-bom"), ("2.1", "ansi")):
        what = f"{os.path.basename(source)} vCard {version} {encoding}"
        data = convert(tool, source, os.path.join(folder, "out.vcf"),
                       "--vcard", version, "--encoding", encoding)
        check(what + ": no byte-order mark", False, data.startswith(b"\xef\xbb\xbf"))
        text = data.decode(DECODE[encoding])
        cards = list(vobject.readComponents(text, validate=True, allowQP=True))
        kept = [values for values, trash in contacts if not trash]
        check(what + ": cards", len(kept), len(cards))
        for values, card in zip(kept, cards):
            name = in_encoding(display_name(values), encoding)
            # vobject reads every card by 3.0's rules, where a comma
            # splits a 2.1 value.
            if version == "3.0" or "," not in name:
                check(what + ": FN", name, card.fn.value)
            addresses = [in_encoding(m, encoding) for m in mails(values)]
            if version == "3.0":
                check(what + ": EMAIL", addresses,
                      [e.value for e in card.contents.get("email", [])])
                note = values.get("DESCRIPTION", "").replace(BREAK, "\n")
                if note:
                    check(what + ": NOTE", in_encoding(note, encoding), card.note.value)


def check_csvs(tool, source, contacts, folder):
    for layout, header in HEADERS.items():
        for encoding in ("utf8", "utf8-bom", "ansi"):
            what = f"{os.path.basename(source)} CSV {layout} {encoding}"
            data = convert(tool, source, os.path.join(folder, "out.csv"),
                           "--layout", layout, "--encoding", encoding)
            rows = list(csv.reader(io.StringIO(data.decode(DECODE[encoding]), newline="")))
            check(what + ": header", header, rows[0][:len(header)])
            check(what + ": records", len(contacts), len(rows) - 1)
            column = rows[0].index(FIRST_MAIL[layout])
            expected = []
            for values, _ in contacts:
                found = mails(values)
                if layout == "wab":  # the address book's own cut: up to the first break
                    found = [values.get("MAIL", "").split(BREAK)[0]]
                expected.append(in_encoding(found[0] if found else "", encoding))
            check(what + ": first addresses", expected, [row[column] for row in rows[1:]])


# The real address books. Each reader prints a JSON list with one object per
# contact it imported: fn, family, given, nickname, emails, phones (number,
# fax), note, street, label, url, photo.

def clean(value):
    """A value as a card holds it: every line break (Opera's pair, CR, LF,
    NEL, LINE and PARAGRAPH SEPARATOR) as LF, no other control character."""
    out, i = [], 0
    while i < len(value):
        pair = value[i:i + 2]
        if pair in (BREAK, "\r\n"):
            out.append("\n")
            i += 2
            continue
        c = value[i]
        i += 1
        if c in "\r\n\x85\u2028\u2029":
            out.append("\n")
        elif c == "\t" or not (ord(c) < 0x20 or 0x7f <= ord(c) < 0xa0):
            out.append(c)
    return "".join(out)


def split_person_name(name):
    """Given and family name, as address books split a typed name."""
    name = name.strip(" \t")
    if "," in name:
        family, _, given = name.partition(",")
        return given.strip(" \t"), family.strip(" \t")
    blank = max(name.rfind(" "), name.rfind("\t"))
    if blank == -1:
        return name, ""
    return name[:blank].strip(" \t"), name[blank + 1:]


def expected_cards(contacts, encoding):
    def enc(text):
        return in_encoding(text, encoding)

    def one_line(text):
        return enc(text.replace("\n", " "))

    def part(text):
        # The writer's blank after a part that ends in a backslash.
        return text + " " if text.endswith("\\") else text

    def uri(text):
        return enc(text.replace("\n", " ").replace(" ", "%20").replace("\t", "%09"))

    cards = []
    for raw, trash in contacts:
        if trash:
            continue
        v = {key: clean(value) for key, value in raw.items()}
        addresses = [m.strip(" \t") for m in v.get("MAIL", "").split("\n") if m.strip(" \t")]
        name = v.get("NAME", "")
        if not name.strip(" \t"):
            name = v.get("SHORT NAME", "")
        shown = next((v[k] for k in ("NAME", "SHORT NAME") if v.get(k, "").strip(" \t")),
                     addresses[0] if addresses else "")
        given, family = split_person_name(name)
        phones = [{"number": one_line(v[key]), "fax": key == "FAX"}
                  for key in ("PHONE", "FAX") if v.get(key)]
        street = v.get("POSTALADDRESS", "")
        cards.append({
            "fn": one_line(shown), "family": part(one_line(family)), "given": part(one_line(given)),
            "nickname": one_line(v.get("SHORT NAME", "")), "emails": [enc(m) for m in addresses],
            "phones": phones, "note": enc(v.get("DESCRIPTION", "")),
            "street": part(enc(street)) if street else "", "label": enc(street),
            "url": uri(v.get("URL", "")), "photo": uri(v.get("PICTUREURL", "")),
        })
    return cards


def peer_command(peer, folder):
    """The command that reads a vCard file with `peer`, or None when it is
    not installed here."""
    if peer == "evolution":
        probe = subprocess.run(["/usr/bin/python3", "-c",
                                "import gi; gi.require_version('EBookContacts', '1.2'); "
                                "from gi.repository import EBookContacts"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if probe.returncode != 0:
            return None
        return ["/usr/bin/python3", os.path.join(PEERS, "evolution_read.py")]
    if peer == "kcontacts":
        program = os.path.join(folder, "kcontacts_read")
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt5Core", "Qt5Gui"],
                               capture_output=True, text=True) if shutil.which("pkg-config") else None
        if (not flags or flags.returncode != 0 or not shutil.which("g++")
                or not os.path.isdir("/usr/include/KF5/KContacts")):
            return None
        build = subprocess.run(["g++", "-std=c++17", "-fPIC", "-o", program,
                                os.path.join(PEERS, "kcontacts_read.cpp"),
                                "-I/usr/include/KF5/KContacts", "-lKF5Contacts",
                                *flags.stdout.split()], capture_output=True, text=True)
        if build.returncode != 0:
            print(build.stderr)
            return None
        return [program]
    if peer == "thunderbird":
        binary = "/usr/lib/thunderbird/thunderbird"
        if not os.path.exists(binary):
            return None
        return [binary, "-xpcshell", "-g", os.path.dirname(binary), "-a", os.path.dirname(binary),
                os.path.join(PEERS, "thunderbird_read.js")]
    raise SystemExit(f"unknown peer {peer}")


def normalized(value):
    if isinstance(value, str):
        return value.replace("\r\n", "\n")
    if isinstance(value, list):
        return [normalized(v) for v in value]
    if isinstance(value, dict):
        return {k: normalized(v) for k, v in value.items()}
    return value


# What a peer cannot show, whatever the file says; each seen with the
# program itself. The file is written as its standard says all the same.
# - Evolution drops the blanks that close a value (but the street of an
#   address), cuts a 3.0 URL at a ';'
#   (RFC 2426 writes a URI unescaped), and, as KContacts does, takes a 2.1
#   photo only as VALUE=URI, where 2.1 says VALUE=URL.
# - Thunderbird keeps no LABEL, and decodes every quoted-printable value as
#   UTF-8 whatever its CHARSET: 2.1 in Windows-1252 reaches it whole only
#   where it is ASCII.
# - KContacts and Thunderbird keep the backslash of RFC 2426's "\;" in 3.0
#   text values; KContacts reads "\\n" as a backslash and a line break, and
#   Thunderbird drops the backslash of "\\" in a 3.0 TEL.
def as_read_by(peer, version, encoding, expected):
    fields = dict(expected)
    if peer == "evolution":
        fields = {k: v if k == "street" else trimmed(v) for k, v in fields.items()}
        if version == "3.0" and ";" in fields["url"]:
            fields["url"] = fields["url"].split(";")[0]
    if peer in ("evolution", "kcontacts") and version == "2.1":
        del fields["photo"]
    if peer == "thunderbird":
        del fields["label"]
        if version == "2.1" and encoding == "ansi":
            fields = {k: v for k, v in fields.items() if json.dumps(v, ensure_ascii=False).isascii()}
    if version == "3.0" and peer == "kcontacts":
        for key in ("fn", "nickname", "note", "phones", "label"):
            fields[key] = replaced(fields[key], ";", "\\;")
        fields["note"] = fields["note"].replace("\\n", "\\\n")
    if version == "3.0" and peer == "thunderbird":
        for key in ("fn", "nickname", "note"):
            fields[key] = replaced(fields[key], ";", "\\;")
        fields["phones"] = replaced(fields["phones"], "\\", "")
    return fields


def trimmed(value):
    if isinstance(value, str):
        return value.rstrip(" ")
    if isinstance(value, list):
        return [trimmed(v) for v in value]
    if isinstance(value, dict):
        return {k: trimmed(v) for k, v in value.items()}
    return value


def replaced(value, old, new):
    if isinstance(value, str):
        return value.replace(old, new)
    if isinstance(value, list):
        return [replaced(v, old, new) for v in value]
    if isinstance(value, dict):
        return {k: replaced(v, old, new) for k, v in value.items()}
    return value


def check_peer(peer, command, tool, source, contacts, folder):
    check_refused(tool, source, folder)
    name = os.path.basename(source)
    for version, encoding in (("3.0", "utf8"), ("3.0", "utf8-bom"), ("2.1", "utf8"),
                              ("2.1", "utf8-bom"), ("2.1", "ansi")):
        what = f"{peer}: {name} vCard {version} {encoding}"
        output = os.path.join(folder, f"{version}-{encoding}.vcf")
        convert(tool, source, output, "--vcard", version, "--encoding", encoding)
        done = subprocess.run([*command, output], capture_output=True, text=True, timeout=120)
        lines = done.stdout.strip().splitlines()
        try:
            found = normalized(json.loads(lines[-1]))
        except (IndexError, ValueError):
            check(what + ": a reading", "cards", done.stdout + done.stderr)
            continue
        if isinstance(found, dict):
            check(what + ": imported", "cards", found)
            continue
        expected = expected_cards(contacts, encoding)
        check(what + ": contacts", len(expected), len(found))
        for want, have in zip(expected, found):
            for key, value in as_read_by(peer, version, encoding, want).items():
                check(f"{what}: {want['fn']}: {key}", value, have.get(key))
    print(f"{peer}: {name}: compared")


def main():
    args = sys.argv[1:]
    peer = None
    if args[:1] == ["--peer"]:
        peer, args = args[1], args[2:]
    tool, sources = args[0], args[1:]
    with tempfile.TemporaryDirectory() as folder:
        if peer:
            command = peer_command(peer, folder)
            if command is None:
                print(f"{peer} is not installed (scripts/deps/peers.txt): skipped")
                return SKIP
        else:
            try:
                import vobject  # noqa: F401
            except ImportError:
                print("python3-vobject is not installed: skipped")
                return SKIP
        for source in sources:
            if not os.path.exists(source):
                print(f"{source} absent: not checked")
                continue
            with open(source, "rb") as f:
                contacts = read_contacts(f.read())
            if peer:
                check_peer(peer, command, tool, source, contacts, folder)
            else:
                check_vcards(tool, source, contacts, folder)
                check_csvs(tool, source, contacts, folder)
    if failures == 0:
        print("contacts exports: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
