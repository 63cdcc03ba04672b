#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The notes outputs read back by readers of their own, against the notes
file read a second time (notes_reference.py): the ENEX validated by lxml
against the structure of Evernote's export (enex-structure.dtd), each
note's ENML parsed; the page parsed as HTML; each Markdown file's front
matter read as YAML and its body rendered by markdown-it (CommonMark, with
the tables and strike-through Joplin and Obsidian add), which must show the
note's lines as typed; the file names held to what Windows, macOS and Linux
take.

usage: check_notes_read_back.py QUARVO-CONVERT DTD NOTES.adr...
Exits 77 when lxml, PyYAML or markdown-it is not installed (Debian's
python3-lxml, python3-yaml, python3-markdown-it; scripts/deps/notes.txt)."""

import datetime
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from notes_reference import read_notes, xml_safe  # noqa: E402

try:
    import lxml.etree
    import lxml.html
    import yaml
    from markdown_it import MarkdownIt
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(77)

failures = []


def fail(where, what):
    failures.append(f"{where}: {what}")


def utc(seconds):
    return datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc)


def convert(tool, notes, output, *options):
    subprocess.run([tool, "--notes", notes, output, *options], check=True, stdout=subprocess.DEVNULL)


def key(note):
    """What tells a note from another in every output."""
    return (note.text, note.url, note.created)


# ---- ENEX

SAFE_PARSER = lxml.etree.XMLParser(load_dtd=False, no_network=True, resolve_entities=False,
                                   huge_tree=True)
DATE = re.compile(r"^\d{8}T\d{6}Z$")


def enml_lines(content, where):
    """The lines an ENML document shows, blanks as blanks."""
    root = lxml.etree.fromstring(content.encode("utf-8"), SAFE_PARSER)
    if root.tag != "en-note":
        fail(where, f"ENML root is {root.tag}")
    lines = []
    for div in root:
        if div.tag != "div" or len(div.attrib):
            fail(where, f"ENML holds <{div.tag}>")
        text = (div.text or "") + "".join((child.tail or "") for child in div)
        if any(child.tag != "br" for child in div):
            fail(where, "a line holds markup other than <br/>")
        lines.append(text.replace("\xa0", " "))
    return lines


def expected_enml_lines(text):
    return [] if text == "" else xml_safe(text).replace("\t", "    ").split("\n")


def check_enex_file(path, dtd, where):
    """The notes of one ENEX file as (key, tags, title) after checking them."""
    tree = lxml.etree.parse(path, SAFE_PARSER)
    if not dtd.validate(tree):
        fail(where, f"not valid: {dtd.error_log.filter_from_errors()[:3]}")
    found = []
    for note in tree.getroot().iter("note"):
        title = note.findtext("title")
        if not title or len(title) > 255 or title != title.strip() or XML_CONTROL.search(title):
            fail(where, f"title {title!r} is not one Evernote takes")
        created = note.findtext("created")
        if created is not None and not DATE.match(created):
            fail(where, f"date {created!r}")
        tags = [tag.text or "" for tag in note.findall("tag")]
        for tag in tags:
            if not tag or len(tag) > 100 or "," in tag or tag != tag.strip():
                fail(where, f"tag {tag!r} is not one Evernote takes")
        lines = enml_lines(note.findtext("content"), f"{where}: {title}")
        seconds = (int(datetime.datetime.strptime(created, "%Y%m%dT%H%M%SZ")
                       .replace(tzinfo=datetime.timezone.utc).timestamp()) if created else None)
        found.append(("\n".join(lines), note.findtext("note-attributes/source-url") or "", seconds, tags))
    return found


XML_CONTROL = re.compile("[\x00-\x1f]")


def enex_tag(name):
    tag = re.sub("[\x00-\x1f]", " ", name).strip().replace(",", ";")[:100].strip()
    return tag or "Unnamed folder"


def check_enex(notes, enex_notes, where):
    want = sorted(("\n".join(expected_enml_lines(n.text)), xml_safe(n.url), n.created,
                   [xml_safe(enex_tag(f)) for f in n.folders][:100]) for n in notes)
    got = sorted(enex_notes)
    if want != got:
        missing = [w for w in want if w not in got][:3]
        fail(where, f"{len(got)} notes, {len(want)} expected; first differing: {missing}")


# ---- HTML

def check_html(notes, path, where):
    page = lxml.html.parse(path).getroot()
    if page.xpath("//script") or not page.xpath("//meta[@http-equiv='Content-Security-Policy']"):
        fail(where, "the page may run scripts")
    for link in page.xpath("//a/@href"):
        if not re.match(r"(?i)(https?|ftp|mailto):", link):
            fail(where, f"a link to {link!r}")
    got = sorted(article.xpath("string(.//div[@class='text'])") for article in page.xpath("//article"))
    want = sorted(xml_safe(n.text) for n in notes)
    if got != want:
        fail(where, f"{len(got)} notes on the page, {len(want)} expected; "
                    f"first missing: {[w for w in want if w not in got][:2]}")


# ---- Markdown

MARKDOWN = MarkdownIt("commonmark").enable("table").enable("strikethrough")
FORBIDDEN = re.compile(r'[/\\:*?"<>|\x00-\x1f\x7f-\x9f]')
DEVICES = re.compile(r"(?i)^(con|prn|aux|nul|conin\$|conout\$|com[0-9¹²³]|lpt[0-9¹²³])$")


def shown_lines(body):
    """The lines a Markdown reader shows for `body`, undoing how empty lines
    are written (a paragraph break for the first, a paragraph of &nbsp; for
    each further one and for those at either end)."""
    fragment = lxml.html.fragment_fromstring(MARKDOWN.render(body) or "<p></p>", create_parent="div")
    lines, previous, seen_text = [], None, False
    for paragraph in fragment:
        if paragraph.tag != "p":
            fail("markdown", f"rendered as <{paragraph.tag}>")
        for br in paragraph.iter("br"):
            br.tail = "\n" + (br.tail or "").lstrip("\n")
        text = paragraph.text_content()
        if text == "\xa0":
            lines.append("")
            previous = "blank"
            continue
        if previous == "text" or (previous == "blank" and seen_text):
            lines.append("")
        lines.extend(text.split("\n"))
        previous, seen_text = "text", True
    return visible([line.replace("\xa0", " ") for line in lines] if body.strip() else [])


def visible(lines):
    """Lines as a reader sees them: blanks at their ends and the control
    characters (which an HTML parser drops) do not show."""
    return [CONTROL.sub("", line).rstrip(" \t") for line in lines]


CONTROL = re.compile("[\x00-\x08\x0b-\x1f]")


def expected_markdown_lines(text):
    if text == "":
        return []
    lines = []
    for line in text.split("\n"):
        blanks = len(line) - len(line.lstrip(" \t"))
        lines.append(line[:blanks].replace("\t", "    ") + line[blanks:])
    return visible(lines)


def check_name(name, where):
    stem = name[:-3] if name.endswith(".md") else name
    if (FORBIDDEN.search(stem) or len(stem) > 100 or len(stem.encode()) > 200 or
            stem != stem.strip(" .") or DEVICES.match(stem.split(".")[0].rstrip(" "))):
        fail(where, f"file name {name!r}")


def check_markdown(notes, folder, where):
    got = []
    for place, folders, files in os.walk(folder):
        names = folders + files
        folded = {unicodedata.normalize("NFC", n).casefold() for n in names}
        if len(folded) != len(names):
            fail(where, f"names in {place} meet where case is ignored")
        for name in names:
            check_name(name, where)
        for name in files:
            path = os.path.join(place, name)
            text = open(path, encoding="utf-8", newline="").read()
            if "\r" in text or not text.startswith("---\n"):
                fail(where, f"{name}: not LF or no front matter")
                continue
            front, body = text[4:].split("\n---\n", 1)
            meta = yaml.safe_load(front)
            body = body[1:] if body.startswith("\n") else body
            created = meta.get("created")
            seconds = int(created.timestamp()) if created else None
            if created and int(os.stat(path).st_mtime) != seconds:
                fail(where, f"{name}: modified {os.stat(path).st_mtime}, made {seconds}")
            relative = os.path.relpath(place, folder)
            lines = shown_lines(body)
            got.append(("\n".join(lines), meta.get("source", ""), seconds, meta["title"],
                        [] if relative == "." else relative.split(os.sep)))
    want = [("\n".join(expected_markdown_lines(n.text)), n.url, n.created, n.title) for n in notes]
    if sorted(w for w in want) != sorted(g[:4] for g in got):
        missing = [w for w in want if w not in [g[:4] for g in got]][:2]
        fail(where, f"{len(got)} files, {len(want)} notes; first not shown as typed: {missing}")


def main():
    tool, dtd_path, *files = sys.argv[1:]
    dtd = lxml.etree.DTD(dtd_path)
    for notes_file in files:
        if not os.path.exists(notes_file):
            continue
        name = os.path.basename(notes_file)
        notes, trash = read_notes(open(notes_file, "rb").read())
        with tempfile.TemporaryDirectory() as work:
            for output, options in (("n.enex", ()), ("per-folder", ("--enex-per-folder",)),
                                    ("n.html", ()), ("md", ())):
                convert(tool, notes_file, os.path.join(work, output), *options)
            check_enex(notes, check_enex_file(os.path.join(work, "n.enex"), dtd, name), name + " ENEX")
            per_folder = []
            for enex in sorted(os.listdir(os.path.join(work, "per-folder"))):
                per_folder += check_enex_file(os.path.join(work, "per-folder", enex), dtd, enex)
            check_enex(notes, per_folder, name + " ENEX per folder")
            check_html(notes, os.path.join(work, "n.html"), name + " HTML")
            check_markdown(notes, os.path.join(work, "md"), name + " Markdown")
        print(f"{name}: {len(notes)} notes read back from ENEX, HTML and Markdown; "
              f"{trash} in the trash left out")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
