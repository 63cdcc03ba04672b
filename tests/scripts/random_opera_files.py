#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Small random Opera hotlists and contacts files full of the cases a reader
# or writer can get wrong: personal-bar items in and out of the trash and
# out of order, folders left open or closed twice, CR, LF and CR LF line
# ends, 8-bit files, bytes not valid UTF-8, line-break pairs and lone 0x02
# bytes, markup and CSV/vCard separators, long values around the vCard fold.
# For tests/scripts/compare_outputs.sh: the same seed gives the same files.
#
#   tests/scripts/random_opera_files.py hotlist|contacts FOLDER COUNT [FIRST_SEED]
import random
import sys


def hotlist(r):
    eol = r.choice([b"\r\n", b"\n", b"\r"])
    out = []
    if r.random() < 0.9:
        out.append(b"Opera Hotlist version 2.0")
    if r.random() < 0.5:
        out.append(b"Options: encoding = " + r.choice([b"utf8", b"iso-8859-1", b"utf-8"]) + b", version=3")
    out.append(b"")
    texts = [b"plain", b"a&b<c>\"d\"", b"line\x02\x02break", b"lone\x02x", b"\x02\x02\x02", b"caf\xc3\xa9",
             b"bad\xe9\x81", b"  spaced  ", b"", b"x" * r.randint(0, 300)]
    urls = [b"http://a.example/", b"http://a.example/", b"nourl", b"javascript:x()", b"ftp://b/\x02\x02",
            b"http://dup/", b""]
    for _ in range(r.randint(0, 60)):
        k = r.random()
        if k < 0.2:
            out.append(b"#FOLDER")
        elif k < 0.6:
            out.append(b"#URL")
        elif k < 0.68:
            out.append(b"#SEPERATOR")
        elif k < 0.72:
            out.append(b"#DELETED")
        elif k < 0.74:
            out.append(b"#CONTACT")
        elif k < 0.9:
            out += [b"-" if r.random() < 0.9 else b"\t-", b""]
            continue
        else:
            out.append(r.choice([b"", b"  ", b"\t", b"junk line", b"=x"]))
            continue
        indent = r.choice([b"\t", b"  ", b""])
        keys = [(b"NAME", r.choice(texts)), (b"URL", r.choice(urls)),
                (b"CREATED", r.choice([b"1148873838", b"904923783 (Fri)", b"abc", b""])),
                (b"VISITED", r.choice([b"1", b"x"])), (b"DESCRIPTION", r.choice(texts)),
                (b"SHORT NAME", r.choice([b"kw", b"kw2", b"a\x02\x02b", b""])),
                (b"ON PERSONALBAR", r.choice([b"YES", b"YES", b"NO"])),
                (b"PERSONALBAR_POS", r.choice([b"0", b"1", b"5", b"x", b"3"])),
                (b"TRASH FOLDER", r.choice([b"YES", b"NO"])), (b"ID", b"12")]
        for key, value in keys:
            if r.random() < 0.45:
                out.append(indent + key + b"=" + value)
        if r.random() < 0.7:
            out.append(b"")
    return eol.join(out) + (eol if r.random() < 0.8 else b"")


def contacts(r):
    eol = r.choice([b"\r\n", b"\n"])
    out = [b"Opera Hotlist version 2.0"]
    if r.random() < 0.4:
        out.append(b"Options: encoding = " + r.choice([b"utf8", b"iso-8859-1"]) + b", version=3")
    out.append(b"")
    values = [b"\xc3\xa9" * 47 + b"a" * 3 + b"\xe2\x82\xac" * 30, b"a" * 74 + b"\xc3\xa9" * 3,
              b"x," * 60 + b";\\" * 20, b"\xf0\x9f\x98\x80" * 40 + b"z" * 71, b"Smith, John",
              b"John Ronald Smith", b"a;b,c\\d\"e", b"x\x02\x02y\x02\x02", b"caf\xc3\xa9 \xe2\x80\xa8 z",
              b"bad\xe9\x81\x9d", b"tab\there \x01\x7f", b"\xc2\x85nel", b"trail\\", b"   ", b"",
              b"w" * r.randint(0, 200), b"http://x y/", b"a@b.c\x02\x02 d@e.f \x02\x02\x02\x02g@h"]
    for _ in range(r.randint(0, 30)):
        k = r.random()
        if k < 0.1:
            out += [b"#FOLDER", b"\tNAME=f", b"\tTRASH FOLDER=" + r.choice([b"YES", b"NO"]), b""]
            continue
        if k < 0.18:
            out += [b"-", b""]
            continue
        out.append(b"#CONTACT")
        for key in [b"NAME", b"URL", b"DESCRIPTION", b"SHORT NAME", b"ACTIVE", b"MAIL", b"PHONE", b"FAX",
                    b"POSTALADDRESS", b"PICTUREURL"]:
            if r.random() < 0.6:
                out.append(b"\t" + key + b"=" + r.choice(values))
        out.append(b"")
    return eol.join(out) + eol


def main():
    kind, folder, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    first = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    make = {"hotlist": hotlist, "contacts": contacts}[kind]
    for seed in range(first, first + count):
        with open(f"{folder}/{kind}-{seed}.adr", "wb") as file:
            file.write(make(random.Random(seed)))


main()
