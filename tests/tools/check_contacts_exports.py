#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Reads every contacts output of quarvo-convert back with parsers of its
own: each vCard with vobject, each CSV with the csv module against the
header its address book expects, and compares what they find with the
contacts of the .adr file as read here.

usage: check_contacts_exports.py QUARVO-CONVERT FILE.adr...
Exits 77 (skipped) when vobject is not installed."""
import csv
import io
import os
import re
import subprocess
import sys
import tempfile

try:
    import vobject
except ImportError:
    print("python3-vobject is not installed: skipped")
    sys.exit(77)

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
    """The contacts of an .adr file: (values, in_trash) in file order."""
    text = data.decode("utf-8")
    contacts, folders, entry = [], [], None
    for line in re.split(r"\r\n|\r|\n", text):
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


def check_vcards(tool, source, contacts, folder):
    for version in ("3.0", "2.1"):
        for encoding in ("utf8", "utf8-bom", "ansi"):
            what = f"{os.path.basename(source)} vCard {version} {encoding}"
            data = convert(tool, source, os.path.join(folder, "out.vcf"),
                           "--vcard", version, "--encoding", encoding)
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


def main():
    tool, sources = sys.argv[1], sys.argv[2:]
    with tempfile.TemporaryDirectory() as folder:
        for source in sources:
            if not os.path.exists(source):
                print(f"{source} absent: not checked")
                continue
            with open(source, "rb") as f:
                contacts = read_contacts(f.read())
            check_vcards(tool, source, contacts, folder)
            check_csvs(tool, source, contacts, folder)
    if failures == 0:
        print("contacts exports: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
