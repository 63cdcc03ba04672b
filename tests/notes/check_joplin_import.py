#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The notes outputs imported by Joplin's command-line client, in a profile
folder of the check's own (--profile), never the user's: the ENEX
(`import --format enex --output-format html`: as Markdown, Joplin would
read each line as Markdown, a line typed "- x" becoming a list item) and
the Markdown folder (`--format md_frontmatter`, after setting the date
format to MM/DD/YYYY, the one with which Joplin reads an ISO date to the
second; see README). Every note written must arrive
with its title, body, creation time to the second and source page; the
ENEX's notes with their folders as tags, the folder's in notebooks as the
folders were. What was written is checked against the notes file itself by
check_notes_read_back.py; Joplin's database is read with Python's sqlite3.

usage: check_joplin_import.py QUARVO-CONVERT JOPLIN NOTES.adr...
JOPLIN is the client's program as `npm install joplin` put it under the
build tree (scripts/test.d/15-peer-readers.sh); the check exits 77 when it
or PyYAML is not there."""

import datetime
import html
import os
import re
import sqlite3
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

try:
    import yaml
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(77)

failures = []


def fail(where, what):
    failures.append(f"{where}: {what}")


def seconds(moment):
    return int(moment.replace(tzinfo=datetime.timezone.utc).timestamp())


def enml_lines(enml):
    """The lines of an ENML document (or Joplin's HTML note made of one),
    each as it shows."""
    lines = re.findall(r"<div>(.*?)</div>", enml, flags=re.S)
    return tuple(html.unescape(re.sub(r"<br\s*/?>", "", line)).replace("\xa0", " ") for line in lines)


def compare(got, want, where):
    got, want = sorted(got, key=repr), sorted(want, key=repr)
    if got != want:
        fail(where, f"Joplin holds {len(got)} notes of {len(want)}; "
                    f"first not as written: {[w for w in want if w not in got][:2]}; "
                    f"Joplin has instead: {[g for g in got if g not in want][:2]}")


def written_enex(enex_file):
    """Each note of the ENEX: title, lines, creation, source, tags."""
    notes = []
    for note in ElementTree.parse(enex_file).getroot().iter("note"):
        lines = enml_lines(note.findtext("content").split("\n", 2)[2])
        created = note.findtext("created")
        notes.append((note.findtext("title"), lines,
                      seconds(datetime.datetime.strptime(created, "%Y%m%dT%H%M%SZ")) if created else None,
                      note.findtext("note-attributes/source-url") or "",
                      tuple(sorted(tag.text for tag in note.findall("tag")))))
    return notes


def written_markdown(folder):
    """Each note of the folder: its folders, title, body, creation, source."""
    notes = []
    for place, _, names in os.walk(folder):
        relative = os.path.relpath(place, folder)
        folders = () if relative == "." else tuple(relative.split(os.sep))
        for name in names:
            text = open(os.path.join(place, name), encoding="utf-8", newline="").read()
            front, body = text[4:].split("\n---\n", 1)
            meta = yaml.safe_load(front)
            created = meta.get("created")
            notes.append((folders, meta["title"] or name[:-3], body[1:],
                          seconds(created) if created else None, meta.get("source", "")))
    return notes


def imported(db):
    """Joplin's notes with the path of their notebook and their tags."""
    folders = {id: (title, parent) for id, title, parent in db.execute("select id, title, parent_id from folders")}

    def path(id):
        title, parent = folders[id]
        return (path(parent) if parent in folders else ()) + (title,)

    tags = {}
    for note, tag in db.execute("select note_id, tags.title from note_tags join tags on tags.id = tag_id"):
        tags.setdefault(note, []).append(tag)
    return [(path(parent), title, body, created // 1000, url, tuple(sorted(tags.get(id, ()))))
            for id, parent, title, body, created, url in db.execute(
                "select id, parent_id, title, body, user_created_time, source_url from notes")]


def joplin(program, profile, *arguments):
    subprocess.run([program, "--profile", profile, *arguments], check=True, timeout=600,
                   stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)


def import_into_new_profile(program, profile, path, *format):
    """Joplin's notes after importing `path` into a profile of their own."""
    os.mkdir(profile)
    joplin(program, profile, "config", "dateFormat", "MM/DD/YYYY")
    joplin(program, profile, "import", *format, path)
    db = sqlite3.connect(os.path.join(profile, "database.sqlite"))
    notes = imported(db)
    db.close()
    return notes


def check(tool, program, notes_file):
    name = os.path.basename(notes_file)
    with tempfile.TemporaryDirectory() as work:
        enex, markdown = os.path.join(work, "n.enex"), os.path.join(work, "md")
        for output in (enex, markdown):
            subprocess.run([tool, "--notes", notes_file, output], check=True, stdout=subprocess.DEVNULL)
        # The ENEX's notes go into a notebook named after the file, the
        # folder's into one named after the folder.
        want = written_enex(enex)
        dateless = {(w[0], w[1]) for w in want if w[2] is None}
        from_enex = [(title, enml_lines(body), None if (title, enml_lines(body)) in dateless else created,
                      url, tags)
                     for path, title, body, created, url, tags in import_into_new_profile(
                         program, os.path.join(work, "p1"), enex, "--format", "enex", "--output-format", "html")
                     if path == ("n",)]
        compare(from_enex, want, name + " ENEX")
        want = written_markdown(markdown)
        dateless = {(w[0], w[1]) for w in want if w[3] is None}
        from_markdown = [(path[1:], title, body, None if (path[1:], title) in dateless else created, url)
                         for path, title, body, created, url, _ in import_into_new_profile(
                             program, os.path.join(work, "p2"), markdown, "--format", "md_frontmatter")
                         if path[:1] == ("md",)]
        compare(from_markdown, want, name + " Markdown")
        print(f"{name}: Joplin took {len(from_enex)} notes from the ENEX and {len(from_markdown)} "
              f"from the Markdown folder, in {len({n[0] for n in from_markdown})} notebooks")


def main():
    tool, program, *files = sys.argv[1:]
    if not os.access(program, os.X_OK):
        print(f"skipped: no Joplin client at {program}")
        return 77
    for notes_file in files:
        if os.path.exists(notes_file):
            check(tool, program, notes_file)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
