#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Reads a vCard file as Evolution's vCard importer does and prints what it
found as JSON, one object per contact: the file is taken when its first
line is BEGIN:VCARD, every CR is dropped, the cards are cut at BEGIN:VCARD
and END:VCARD (the importer's own steps, repeated here: they live in the
Evolution program, not in a library), and each card is parsed by
evolution-data-server's own vCard parser (EBookContacts, through GObject
introspection). Run by tests/tools/check_contacts_exports.py --peer.

usage: evolution_read.py FILE.vcf
Exits 77 when EBookContacts is not installed."""
import json
import sys

try:
    import gi
    gi.require_version("EBookContacts", "1.2")
    from gi.repository import EBookContacts as E
except (ImportError, ValueError):
    print("gir1.2-ebookcontacts-1.2 is not installed", file=sys.stderr)
    sys.exit(77)


def first_line_opens_a_card(data):
    """The importer's test of a file: its first line, in UTF-16 when it
    starts with a UTF-16 byte-order mark, must start with BEGIN:VCARD."""
    if data[:2] in (b"\xff\xfe", b"\xfe\xff"):
        data = data.decode("utf-16")
    else:
        data = data.decode("utf-8", "replace")
    return data[:11].upper() == "BEGIN:VCARD", data


def cards(text):
    """The cards as the importer cuts them: from BEGIN:VCARD to the END:VCARD
    that is followed by nothing or the next BEGIN:VCARD."""
    text = text.replace("\r", "")
    lower = text.lower()
    found = []
    start = lower.find("begin:vcard")
    while start != -1:
        end = lower.find("end:vcard", start)
        while end != -1:
            after = end + 9
            rest = after + len(lower[after:]) - len(lower[after:].lstrip("\r\n\t "))
            if rest == len(lower) or lower.startswith("begin:vcard", rest):
                break
            end = lower.find("end:vcard", after)
        if end == -1:
            break
        found.append(text[start:end + 9])
        start = lower.find("\nbegin:vcard", end + 9)
        if start != -1:
            start += 1
    return found


def as_json(contact):
    p = contact.props
    phones = [{"number": number, "fax": fax}
              for number, fax in ((p.home_phone, False), (p.home_fax, True)) if number]
    photo = p.photo
    return {
        "fn": p.full_name or "",
        "family": p.family_name or "",
        "given": p.given_name or "",
        "nickname": p.nickname or "",
        "emails": [a.get_value() or "" for a in contact.get_attributes(E.ContactField.EMAIL)],
        "phones": phones,
        "note": p.note or "",
        "street": p.address_home.street if p.address_home else "",
        "label": p.address_label_home or "",
        "url": p.homepage_url or "",
        "photo": photo.get_uri() if photo and photo.type == E.ContactPhotoType.URI else "",
    }


def main():
    with open(sys.argv[1], "rb") as f:
        taken, text = first_line_opens_a_card(f.read())
    found = [as_json(E.Contact.new_from_vcard(card)) for card in cards(text)] if taken else []
    print(json.dumps(found, ensure_ascii=False))


if __name__ == "__main__":
    main()
