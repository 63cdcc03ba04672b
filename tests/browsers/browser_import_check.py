#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Imports hotlists, converted in the browser flavour, into a real browser
and compares what the browser holds with what the hotlist holds.

    browser_import_check.py QUARVO_CONVERT firefox|chromium HOTLIST...

The hotlist is read here on its own, line by line as Opera reads it, so that
the converter is checked against a second reading and not against itself.
Compared: the folder tree, the order, titles, URLs, separators (Firefox has
them, Chromium does not), keywords (Firefox) and add dates; Opera's trash
must be absent, the personal bar's items on the browser's toolbar.
Exit 0 all equal, 1 a difference (printed), 77 the browser is absent or
cannot run here (the test is skipped).
"""
import difflib
import json
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time
import urllib.parse

SKIP = 77
WINDOWS_EPOCH = 11644473600  # seconds from 1601 to 1970: Chromium's dates


def read_hotlist(data):
    """The tree of a hotlist: (kind, values, children) per item."""
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
    options = b""
    for line in lines[:3]:
        if line.strip().startswith(b"Options:"):
            options = line
    eight_bit = b"encoding" in options and not any(
        name in options for name in (b"utf8", b"utf-8", b"UTF-8", b"UTF8"))

    def text(value):
        if not eight_bit:
            try:
                return value.decode("utf-8")
            except UnicodeDecodeError:
                pass
        return value.decode("cp1252", errors="replace")

    root = ("FOLDER", {}, [])
    stack = [root]
    current = None
    for line in lines:
        bare = line.strip(b" \t")
        if not bare:
            current = None
        elif bare == b"-":
            current = None
            if len(stack) > 1:
                stack.pop()
        elif bare in (b"#FOLDER", b"#URL", b"#SEPERATOR"):
            current = (bare[1:].decode(), {}, [])
            stack[-1][2].append(current)
            if bare == b"#FOLDER":
                stack.append(current)
        elif bare.startswith(b"#"):
            current = None  # #DELETED and the like: nothing of the tree
        elif current is not None and b"=" in bare:
            key, _, _ = bare.partition(b"=")
            value = line.lstrip(b" \t").partition(b"=")[2]
            current[1].setdefault(key.decode("latin-1"), text(value))
    return root


def seconds(value):
    digits = ""
    for c in value or "":
        if not c.isdigit():
            break
        digits += c
    # The date is the digits the value starts with, whatever follows them.
    if not digits or len(digits) > 18:
        return None
    return int(digits)


def title(value):
    # Only Opera's pairs are line breaks; a lone 0x02 is a byte of the name.
    return (value or "").replace("\x02\x02", " ")


def norm_url(url):
    """A URL as both sides spell it once the browser has parsed it."""
    # The URL standard drops tabs and line breaks from a URL.
    url = urllib.parse.unquote(url or "").strip().translate({9: None, 10: None, 13: None})
    if url.lower().startswith("file://localhost/"):
        url = "file:///" + url[len("file://localhost/"):]
    try:  # browsers keep host names in their ASCII (punycode) form
        parts = urllib.parse.urlsplit(url)
        if parts.hostname and not parts.hostname.isascii():
            url = url.replace(parts.hostname, parts.hostname.encode("idna").decode(), 1)
    except ValueError:
        pass
    return url.rstrip("/").lower()


def merged_by_name(items):
    """Chromium finds a bookmark's folder by the names on its path, so two
    folders of one name side by side become one: the first, holding both."""
    out, folders = [], {}
    for kind, values, children in items:
        name = values.get("NAME", "")
        if kind == "FOLDER" and values.get("TRASH FOLDER") != "YES" and name in folders:
            folders[name][2].extend(children)
            continue
        item = (kind, values, list(children))
        if kind == "FOLDER":
            folders.setdefault(name, item)
        out.append(item)
    return out


def outline(item, browser, depth=0):
    """Expected lines for the items of a folder, trash left out."""
    out = []
    items = merged_by_name(item[2]) if browser == "chromium" else item[2]
    for kind, values, children in items:
        if values.get("TRASH FOLDER") == "YES":
            continue
        if kind == "SEPERATOR":
            if browser == "firefox":
                out.append((depth, "-", "", "", None, ""))
            continue
        created = seconds(values.get("CREATED"))
        name = title(values.get("NAME"))
        if kind == "FOLDER":
            inner = outline((kind, values, children), browser, depth + 1)
            if browser == "chromium":
                # Chromium makes a folder when it meets a bookmark in it, at
                # the time of the import; an empty one it leaves out.
                if not any(i[1] == "U" for i in inner):
                    continue
                created = None
            out.append((depth, "F", name, "", created, ""))
            out += inner
        elif not re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", values.get("URL", "")):
            continue  # no URL without a scheme is valid, and importers drop invalid ones
        else:
            # The last column: Firefox's keyword; Chromium's own file, which
            # holds none, keeps the last visit there instead.
            keyword = values.get("SHORT NAME", "") if browser == "firefox" else \
                (seconds(values.get("VISITED")) or "") if browser == "file" else ""
            out.append((depth, "U", name, norm_url(values.get("URL")), created, keyword))
    return out


def personal_bar(item, browser):
    found = []

    def walk(folder):
        for kind, values, children in folder[2]:
            if values.get("TRASH FOLDER") == "YES":
                continue
            if values.get("ON PERSONALBAR") == "YES":
                found.append((kind, values, children))
            walk((kind, values, children))
    walk(item)
    def position(item):
        pos = seconds(item[1].get("PERSONALBAR_POS"))
        return 2**62 if pos is None else pos
    found.sort(key=position)
    return outline(("FOLDER", {}, found), browser)


def one_url_per_keyword(*parts):
    """Firefox gives a keyword to one URL: the last one met in the file
    (the toolbar folder comes first there)."""
    last = {}
    for part in parts:
        for item in part:
            if item[5]:
                last[item[5]] = item[3]
    return [[i if not i[5] or last[i[5]] == i[3] else i[:5] + ("",) for i in part]
            for part in parts]


def run_bounded(command, profile_ready, limit):
    """Starts the browser, waits until `profile_ready` says the import is
    done (or `limit` seconds pass), then ends it."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        end = time.time() + limit
        while time.time() < end and process.poll() is None:
            if profile_ready():
                time.sleep(2)  # let it finish writing
                return True
            time.sleep(0.5)
        return False
    finally:
        if process.poll() is None:
            os.killpg(process.pid, 15)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, 9)
                process.wait()


def firefox_profile(work, prefs=()):
    """A new Firefox profile in `work`, with `prefs` and the ones that keep
    a first run quiet."""
    profile = os.path.join(work, "profile")
    os.makedirs(profile)
    with open(os.path.join(profile, "user.js"), "w") as saved:
        for name, value in tuple(prefs) + (("browser.shell.checkDefaultBrowser", "false"),
                                           ("app.update.enabled", "false"),
                                           ("datareporting.policy.dataSubmissionEnabled",
                                            "false")):
            saved.write("user_pref(%s, %s);\n" % (json.dumps(name), value))
    return profile


def run_firefox(profile, ready, limit=90):
    return run_bounded([shutil.which("firefox-esr") or shutil.which("firefox"), "--headless",
                        "--no-remote", "--profile", profile, "about:blank"], ready, limit)


def places_rows(places):
    """Every bookmark of a places.sqlite: (id, type, parent, title, url,
    dateAdded, keyword), each folder's items in their order."""
    db = sqlite3.connect("file:%s?mode=ro" % places, uri=True, timeout=1)
    try:
        return db.execute("select b.id, b.type, b.parent, b.title, p.url, b.dateAdded, k.keyword "
                          "from moz_bookmarks b left join moz_places p on p.id = b.fk "
                          "left join moz_keywords k on k.place_id = b.fk "
                          "order by b.parent, b.position").fetchall()
    finally:
        db.close()


def places_tree(places, roots=(2, 3)):
    """The outline of each of Firefox's `roots` (2 the bookmarks menu, 3 the
    toolbar, 5 other bookmarks)."""
    children = {}
    for row in places_rows(places):
        children.setdefault(row[2], []).append(row)

    def walk(parent, depth=0):
        out = []
        for id_, type_, _, name, url, added, keyword in children.get(parent, []):
            if type_ == 3:
                out.append((depth, "-", "", "", None, ""))
            elif type_ == 2:
                out.append((depth, "F", name or "", "", added // 10**6, ""))
                out += walk(id_, depth + 1)
            else:
                out.append((depth, "U", name or "", norm_url(url), added // 10**6, keyword or ""))
        return out
    return tuple(walk(root) for root in roots)


def firefox_tree(html, work):
    profile = firefox_profile(work, (("browser.places.importBookmarksHTML", "true"),
                                     ("browser.bookmarks.file", json.dumps(html))))

    def imported():
        # Firefox holds its database locked while it runs; it turns the
        # import's switch off once the import is done, and saves that soon.
        try:
            with open(os.path.join(profile, "prefs.js")) as saved:
                return '"browser.places.importBookmarksHTML", false' in saved.read()
        except OSError:
            return False

    if not run_firefox(profile, imported):
        return None
    return places_tree(os.path.join(profile, "places.sqlite"))


def chromium_outline(node, depth=0, visits=False):
    """The outline of a folder of Chromium's Bookmarks file; with `visits`,
    each bookmark's last visit in the last column."""
    out = []
    for child in node.get("children", []):
        added = int(child.get("date_added", "0")) // 10**6 - WINDOWS_EPOCH
        if child["type"] == "folder":
            out.append((depth, "F", child["name"], "", added, ""))
            out += chromium_outline(child, depth + 1, visits)
        else:
            used = int(child.get("date_last_used", "0")) if visits else 0
            out.append((depth, "U", child["name"], norm_url(child["url"]), added,
                        used // 10**6 - WINDOWS_EPOCH if used > 0 else ""))
    return out


CHROMIUM = "/usr/lib/chromium/chromium"


def chromium_tree(html, work):
    binary = CHROMIUM
    if not os.path.exists(binary) or not shutil.which("unshare"):
        return None
    # Chromium imports a file only on its first run, named in its initial
    # preferences; those are read from /etc, so a private mount namespace
    # lays a copy naming our file over them for this run alone.
    initial = "/etc/chromium/master_preferences"
    prefs = json.load(open(initial)) if os.path.exists(initial) else {}
    prefs.setdefault("distribution", {})["import_bookmarks_from_file"] = html
    ours = os.path.join(work, "initial_preferences")
    json.dump(prefs, open(ours, "w"))
    data = os.path.join(work, "chromium")
    bookmarks = os.path.join(data, "Default", "Bookmarks")
    script = 'mount --bind "$1" "$2" && exec "$3" --headless=new --no-sandbox --disable-gpu ' \
             '--user-data-dir="$4" --force-first-run about:blank'
    if not run_bounded(["unshare", "-m", "sh", "-c", script, "sh", ours, initial, binary, data],
                       lambda: os.path.exists(bookmarks), 60):
        return None
    roots = json.load(open(bookmarks))["roots"]
    walk = chromium_outline
    bar = roots["bookmark_bar"]
    imported = [c for c in bar["children"] if c["type"] == "folder" and c["name"] == "Imported"]
    rest = [c for c in bar["children"] if c not in imported]
    # Without a toolbar folder in the file, all goes onto the bar itself.
    if not imported:
        return walk(bar), []
    return walk(imported[0]), walk({"children": rest})


def as_seen(item, started):
    """An item as compared: a date the hotlist lacks is the import's time."""
    depth, kind, name, url, date, keyword = item
    if kind == "-" or date is None or date >= started - 5:
        date = None
    return depth, kind, name, url, date, keyword


def text(item):
    depth, kind, name, url, date, keyword = item
    return "%s%s %s <%s> %s %s" % ("  " * depth, kind, name, url, date, keyword)


def same(browser, name, started, parts):
    """Compares each (part, expected, read back) and prints the differences;
    True when all are equal."""
    equal = True
    for part, want, have in parts:
        want = [as_seen(i, started) for i in want]
        have = [as_seen(i, started) for i in have]
        if want == have:
            print("%s: %s %s equal (%d lines)" % (browser, name, part, len(want)))
            continue
        equal = False
        print("%s: %s %s differs" % (browser, name, part))
        for line in difflib.unified_diff([text(i) for i in want], [text(i) for i in have],
                                         "opera", browser, lineterm="", n=1):
            print("   ", line)
    return equal


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    convert, browser, hotlists = sys.argv[1], sys.argv[2], sys.argv[3:]
    if browser == "firefox" and not (shutil.which("firefox-esr") or shutil.which("firefox")):
        print("firefox-esr is not installed: skipped")
        return SKIP
    if browser == "chromium" and not os.path.exists("/usr/lib/chromium/chromium"):
        print("chromium is not installed: skipped")
        return SKIP
    failed = False
    for hotlist in hotlists:
        with tempfile.TemporaryDirectory() as work:
            html = os.path.join(work, "bookmarks.html")
            subprocess.run([convert, "--bookmarks", hotlist, html, "--flavour", "browser"],
                           check=True, stdout=subprocess.DEVNULL, timeout=60)
            tree = read_hotlist(open(hotlist, "rb").read())
            started = int(time.time())
            got = (firefox_tree if browser == "firefox" else chromium_tree)(html, work)
            if got is None:
                print("%s did not import %s here: skipped" % (browser, hotlist))
                return SKIP
            menu, bar = got
            name = os.path.basename(hotlist)
            expected_bar, expected_tree = personal_bar(tree, browser), outline(tree, browser)
            if browser == "firefox":
                expected_bar, expected_tree = one_url_per_keyword(expected_bar, expected_tree)
            if not same(browser, name, started, (("tree", expected_tree, menu),
                                                 ("toolbar", expected_bar, bar))):
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
