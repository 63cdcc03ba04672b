# SPDX-License-Identifier: MIT
"""Opera's notes file read a second time, apart from Quarvo's reader, as the
checks of the notes outputs compare against: the line-by-line walk Opera
does, and what each note should read as in every output."""

import re
from dataclasses import dataclass, field

MARKERS = ("#FOLDER", "#NOTE", "#SEPERATOR", "#URL", "#CONTACT", "#DELETED")


@dataclass
class Note:
    text: str
    url: str
    created: int | None
    folders: list = field(default_factory=list)  # names from the top down
    in_trash: bool = False

    @property
    def title(self):
        return self.text.split("\n", 1)[0].strip(" \t")


def _decode(value: bytes, eight_bit: bool) -> str:
    if not eight_bit:
        try:
            return value.decode("utf-8")
        except UnicodeDecodeError:
            pass
    # Windows-1252, the five bytes it leaves undefined as C1 controls.
    return "".join(bytes([b]).decode("cp1252") if b not in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else chr(b)
                   for b in value)


def _breaks(value: bytes) -> bytes:
    """Opera's line breaks, 0x02 0x02 (a lone 0x02 too), as LF."""
    return re.sub(rb"\x02\x02?", b"\n", value)


def read_notes(data: bytes, keep_trash=False):
    """The notes of a notes file in the file's order, the trash's left out
    unless kept; and how many the trash held."""
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = re.split(rb"\r\n|\r|\n", data)
    eight_bit = False
    for line in lines:
        stripped = line.strip(b" \t")
        if stripped.startswith(b"#"):
            break
        if stripped.startswith(b"Options:"):
            match = re.search(rb"encoding\s*=?\s*([^\s,]+)", stripped)
            eight_bit = bool(match) and match.group(1).lower() not in (b"utf8", b"utf-8")
    notes, folders, entry = [], [], None

    def finish():
        nonlocal entry
        if entry is None:
            return
        kind, values = entry
        entry = None
        if kind == b"#FOLDER":
            name = _decode(_breaks(values.get(b"NAME", b"")), eight_bit).replace("\n", " ")
            folders.append((name, values.get(b"TRASH FOLDER") == b"YES"))
        elif kind == b"#NOTE":
            created = re.match(rb"\d{1,18}", values.get(b"CREATED", b""))
            notes.append(Note(_decode(_breaks(values.get(b"NAME", b"")), eight_bit),
                              _decode(values.get(b"URL", b""), eight_bit),
                              int(created.group()) if created else None,
                              [name for name, _ in folders], any(t for _, t in folders)))

    for line in lines:
        stripped = line.strip(b" \t")
        if not stripped:
            finish()
        elif stripped == b"-":
            finish()
            if folders:
                folders.pop()
        elif stripped.startswith(b"#") and b" " not in stripped and b"\t" not in stripped and len(stripped) > 1:
            finish()
            entry = (stripped, {})
        elif b"=" in stripped and entry is not None:
            key = stripped.split(b"=", 1)[0]
            entry[1].setdefault(key, line.split(b"=", 1)[1])
    finish()
    kept = [n for n in notes if keep_trash or not n.in_trash]
    return kept, len(notes) - len(kept)


XML_FORBIDDEN = re.compile("[\x00-\x08\x0b\x0c\x0e-\x1f\ufffe\uffff]")


def xml_safe(text: str) -> str:
    return XML_FORBIDDEN.sub("\ufffd", text)
