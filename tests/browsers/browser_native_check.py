#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Puts the browsers' own bookmark files, as converted, into real browsers
and compares what the browser then holds with what the Opera files held.

    browser_native_check.py QUARVO_CONVERT firefox|chromium|search-engines
                            [HOTLIST[=LINKS]]... [--profiles OPERA_DIR PROFILE_DIR]

LINKS is a folder holding any of speeddial.ini, search.ini and a sessions
folder (or autosave.win), converted with the hotlist. --profiles pairs each
profile folder of PROFILE_DIR that holds such files with its hotlist
NAME__bookmarks.adr (or NAME__opera6.adr) in OPERA_DIR; a profile without
one gets a hotlist of one bookmark.

firefox: the JSON backup, placed in a new profile's bookmarkbackups folder,
is what Firefox restores when it starts without a places.sqlite; the menu,
toolbar and other bookmarks are read from places.sqlite.
chromium: the Bookmarks file in a new profile's Default folder, loaded and
written back by Chromium.
search-engines: the browser flavour's HTML imported by Chromium; its search
engines are read from Web Data's keywords table.
Exit 0 all equal, 1 a difference (printed), 77 skipped.
"""
import datetime
import hashlib
import json
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no cache left in the source tree
import browser_import_check as common  # noqa: E402

SKIP = common.SKIP


# The three files of links beside the hotlist, read here a second time from
# Opera's own files so that the converter is not checked against itself.

def read_ini(data):
    """[(section, {key in lower case: value})] of one of Opera's ini files."""
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    sections = []
    for line in data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n"):
        line = line.strip(b" \t")
        if line.startswith(b"[") and line.endswith(b"]"):
            sections.append((ini_text(line[1:-1]), {}))
        elif sections and b"=" in line and not line.startswith(b";"):
            key, _, value = line.partition(b"=")
            sections[-1][1].setdefault(ini_text(key.strip()).lower(), ini_text(value.strip()))
    return sections


def ini_text(value):
    try:
        return value.decode("utf-8")
    except UnicodeDecodeError:
        return value.decode("cp1252", errors="replace")


def bookmark(name, url, keyword=""):
    values = {"NAME": name, "URL": url}
    if keyword:
        values["SHORT NAME"] = keyword
    return ("URL", values, [])


def folder(name, children):
    return ("FOLDER", {"NAME": name}, children)


def speed_dial(data):
    dials = []
    for section, values in read_ini(data):
        number = section[len("speed dial "):]
        if section.lower().startswith("speed dial ") and number.isdigit():
            dials.append((int(number), values))
    out = []
    for _, dial in sorted(dials, key=lambda d: d[0]):
        if dial.get("extension id") or not dial.get("url"):
            continue  # an extension's dial, or an empty one: no page to keep
        # Opera 11 and 12 write "Custom Title" as a flag over "Title".
        custom = dial.get("custom title", "")
        name = custom if custom not in ("", "0", "1") else dial.get("title") or dial["url"]
        out.append(bookmark(name, dial["url"]))
    return folder("Speed Dial", out)


def session(data, name):
    sections = dict(read_ini(data))
    windows, order = {}, []

    def window(id_):
        if id_ not in windows:
            windows[id_] = []
            order.append(id_)
        return windows[id_]
    for section, values in read_ini(data):
        if values.get("type") == "0":
            window(values.get("id", ""))
        elif values.get("type") == "1":
            current = values.get("current history", "1")
            index = str(int(current) - 1) if current.lstrip("-").isdigit() else "0"
            url = sections.get(section + "history url", {}).get(index, "")
            if url and not url.startswith("opera:"):
                title = sections.get(section + "history title", {}).get(index, "")
                window(values.get("parent", "")).append(bookmark(title or url, url))
    return folder(name, [folder("Window %d" % (i + 1), windows[w]) for i, w in enumerate(order)])


def sessions(path):
    if os.path.isfile(path):
        files = [path]
    else:
        names = sorted((n for n in os.listdir(path) if n.lower().endswith(".win")),
                       key=lambda n: (n.lower() != "autosave.win", n))
        files = [os.path.join(path, n) for n in names]
    return folder("Sessions", [
        session(open(f, "rb").read(), "Last session" if os.path.basename(f).lower() ==
                "autosave.win" else os.path.basename(f)[:-4]) for f in files])


def search_url(url):
    # Opera's "%i" (hits per page) means nothing to the browsers, and its
    # U+FDD0 stands for a "%" of the URL itself.
    base, mark, query = url.partition("?")
    if mark and "%i" in url:
        kept = "&".join(p for p in query.split("&") if not p.endswith("=%i"))
        url = base + "?" + kept if kept else (base if base else url)
    return url.replace("\ufdd0", "%")


def without_menu_marks(name):
    return name.replace("&&", "\0").replace("&", "").replace("\0", "&")


def search_engines(data):
    out = []
    for section, engine in read_ini(data):
        if not section.lower().startswith("search engine "):
            continue
        url = engine.get("url", "")
        if engine.get("deleted") == "1" or engine.get("is post") == "1" or not url:
            continue  # deleted, or sent by POST, which a bookmark cannot
        host = url.split("://", 1)[-1]
        for end in "/?#":
            host = host.split(end)[0]
        name = without_menu_marks(engine.get("name", "")) or host or url
        out.append(bookmark(name, search_url(url), engine.get("key", "")))
    return folder("Search engines", out)


def link_sources(links):
    """The converter's options and the folders the Opera files hold."""
    options, folders = [], []
    dial = os.path.join(links, "speeddial.ini")
    if os.path.isfile(dial):
        options += ["--speed-dial", dial]
        folders.append(speed_dial(open(dial, "rb").read()))
    for saved in (os.path.join(links, "sessions"), os.path.join(links, "autosave.win")):
        if os.path.exists(saved):
            options += ["--sessions", saved]
            folders.append(sessions(saved))
            break
    search = os.path.join(links, "search.ini")
    if os.path.isfile(search):
        options += ["--search-engines", search]
        folders.append(search_engines(open(search, "rb").read()))
    return options, folders


# The browsers.

def firefox_restores(backup, work):
    """(menu, toolbar, other bookmarks) after Firefox restored `backup`."""
    profile = common.firefox_profile(work)
    folder_ = os.path.join(profile, "bookmarkbackups")
    os.makedirs(folder_)
    data = open(backup, "rb").read()
    tree = json.loads(data)
    items = sum(1 for _ in json_nodes(tree)) - 1 - len(tree.get("children", []))
    # The name Firefox gives its own backups (a date not in the future, the
    # count of bookmarks, a hash); it restores the newest on a first start.
    urls = sum(1 for n in json_nodes(tree) if n.get("uri"))
    name = "bookmarks-%s_%d_%s.json" % (datetime.date.today().isoformat(), urls,
                                        hashlib.md5(data).hexdigest())
    shutil.copyfile(backup, os.path.join(folder_, name))
    places = os.path.join(profile, "places.sqlite")
    seen = []

    def restored():
        # Firefox keeps writing while it runs: a copy of the database and
        # its log is read, until all items are in or their number stays.
        copy = os.path.join(work, "copy")
        shutil.rmtree(copy, ignore_errors=True)
        os.makedirs(copy)
        try:
            for ending in ("", "-wal"):
                if os.path.exists(places + ending):
                    shutil.copyfile(places + ending, os.path.join(copy, "places.sqlite" + ending))
            count = len(common.places_rows(os.path.join(copy, "places.sqlite"))) - 6
        except (OSError, sqlite3.Error):
            return False
        seen.append(count)
        return count >= items or (count > 0 and len(seen) > 10 and len(set(seen[-10:])) == 1)

    common.run_firefox(profile, restored)
    if not os.path.exists(places):
        return None  # Firefox did not start here
    # A backup Firefox refused shows as what it holds: nothing.
    return common.places_tree(places, (2, 3, 5))


def json_nodes(node):
    yield node
    for child in node.get("children", []):
        yield from json_nodes(child)


def chromium_loads(bookmarks, work):
    """(bar, other bookmarks, mobile, notes) after Chromium loaded the file."""
    if not os.path.exists(common.CHROMIUM):
        return None
    data = json.load(open(bookmarks, encoding="utf-8"))
    notes = []
    # Chromium writes the file back only when it changed something: one
    # item's guid taken away makes it, and shows the others kept.
    first = next((n for r in data.get("roots", {}).values() if isinstance(r, dict)
                  for n in json_nodes(r) if n is not r and "guid" in n), None)
    guids = {n.get("id"): n.get("guid") for r in data.get("roots", {}).values()
             if isinstance(r, dict)
             for n in json_nodes(r)}
    first_id = first and first.get("id")
    if first is not None:
        del first["guid"]
    profile = os.path.join(work, "chromium")
    os.makedirs(os.path.join(profile, "Default"))
    placed = os.path.join(profile, "Default", "Bookmarks")
    json.dump(data, open(placed, "w", encoding="utf-8"))
    before = os.stat(placed).st_mtime_ns
    try:
        subprocess.run([common.CHROMIUM, "--headless=new", "--no-sandbox", "--disable-gpu",
                        "--user-data-dir=" + profile, "--dump-dom", "about:blank"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    except subprocess.TimeoutExpired:
        return None
    if os.stat(placed).st_mtime_ns == before:
        notes.append("Chromium did not write the file back (it did not load it)")
    back = json.load(open(placed, encoding="utf-8"))
    roots = back.get("roots", {})
    changed = [n.get("name") for r in roots.values() if isinstance(r, dict)
               for n in json_nodes(r) if n.get("id") != first_id and guids.get(n.get("id"))
               and guids[n.get("id")] != n.get("guid")]
    if changed:
        notes.append("guids Chromium replaced: %s" % ", ".join(map(str, changed)))
    if "checksum" in data and back.get("checksum") != data["checksum"]:
        notes.append("checksum %s, Chromium's %s" % (data["checksum"], back.get("checksum")))
    return tuple(common.chromium_outline(roots.get(root, {}), visits=True)
                 for root in ("bookmark_bar", "other", "synced")) + (notes,)


def chromium_engines(html, work):
    """(bookmark tree, toolbar, [(name, keyword, URL)] of the engines the
    import added) after Chromium imported the HTML."""
    got = common.chromium_tree(html, work)
    if got is None:
        return None
    web_data = os.path.join(work, "chromium", "Default", "Web Data")
    db = sqlite3.connect("file:%s?mode=ro" % web_data, uri=True, timeout=5)
    try:
        # Chromium's own engines have no date; its "@" ones are its pages.
        rows = db.execute("select short_name, keyword, url from keywords where date_created > 0 "
                          "and keyword not like '@%' order by id").fetchall()
    finally:
        db.close()
    return got + ([(n, k, u.replace("{searchTerms}", "%s")) for n, k, u in rows],)


# What the Opera files held, as each browser shows it.

def expected(tree, browser):
    """(bar, tree) outlines; Firefox's JSON keeps all an outline can show,
    Chromium's file all but separators and keywords, and the last visits."""
    flavour = "firefox" if browser == "firefox" else "file"
    bar, rest = common.personal_bar(tree, flavour), common.outline(tree, flavour)
    if browser == "firefox":
        # The menu is restored before the toolbar: a keyword ends up on the
        # last of its URLs met there.
        rest, bar = common.one_url_per_keyword(rest, bar)
    return bar, rest


def is_engine(item):
    return item[0] == "URL" and item[1].get("SHORT NAME") and "%s" in item[1].get("URL", "")


def without_engines(item):
    """Chromium's HTML import makes a search engine, and no bookmark, of a
    keyword bookmark whose URL holds "%s"."""
    kind, values, children = item
    return (kind, values, [without_engines(c) for c in children if not is_engine(c)])


def engines_of(item):
    if item[1].get("TRASH FOLDER") == "YES":
        return []
    values = item[1]
    found = [(values.get("NAME", ""), values["SHORT NAME"], values["URL"])] \
        if is_engine(item) else []
    for child in item[2]:
        found += engines_of(child)
    return found


def held(browser, name, parts, tree):
    """Prints what the browser holds, per kind, and the Opera items no
    browser takes (a URL without a scheme is no URL to them)."""
    lines = [line for part in parts for line in part]
    kinds = [sum(1 for line in lines if line[1] == kind) for kind in "FU-"]
    keywords = sum(1 for line in lines if line[5])
    dropped = []

    def walk(item):
        for kind, values, children in item[2]:
            if values.get("TRASH FOLDER") == "YES":
                continue
            if kind == "URL" and not re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", values.get("URL", "")):
                dropped.append(values.get("URL", ""))
            walk((kind, values, children))
    walk(tree)
    print("%s: %s holds %d folders, %d bookmarks, %d separators, %d %s; %d Opera "
          "entries without a URL that has a scheme, taken by neither"
          % ((browser, name) + tuple(kinds) + (keywords, "keywords" if browser == "firefox"
                                                else "last visits", len(dropped))))


def check(convert, browser, hotlist, links, work):
    options, link_folders = link_sources(links) if links else ([], [])
    hotlist_tree = common.read_hotlist(open(hotlist, "rb").read())
    tree = ("FOLDER", {}, hotlist_tree[2] + link_folders)
    output = os.path.join(work, {"firefox": "bookmarks.json", "chromium": "Bookmarks",
                                 "search-engines": "bookmarks.html"}[browser])
    flavour = {"firefox": "firefox", "chromium": "chromium", "search-engines": "browser"}[browser]
    subprocess.run([convert, "--bookmarks", hotlist, output, "--flavour", flavour] + options,
                   check=True, stdout=subprocess.DEVNULL, timeout=60)
    started = int(time.time())
    name = os.path.basename(hotlist) + (" + " + links if links else "")
    if browser != "search-engines":
        try:
            json.load(open(output, encoding="utf-8"))
        except ValueError as error:
            print("%s: %s: the converted file is no JSON: %s" % (browser, name, error))
            return False
    if browser == "firefox":
        got = firefox_restores(output, work)
        if got is None:
            return None
        menu, toolbar, other = got
        bar, rest = expected(tree, browser)
        held("firefox", name, got, tree)
        return common.same("firefox", name, started, (("menu", rest, menu),
                                                      ("toolbar", bar, toolbar),
                                                      ("other bookmarks", [], other)))
    if browser == "chromium":
        got = chromium_loads(output, work)
        if got is None:
            return None
        bar_seen, other, mobile, notes = got
        for note in notes:
            print("chromium: %s: %s" % (name, note))
        bar, rest = expected(tree, browser)
        held("chromium", name, (bar_seen, other, mobile), tree)
        return common.same("chromium", name, started, (("bookmarks bar", bar, bar_seen),
                                                       ("other bookmarks", rest, other),
                                                       ("mobile bookmarks", [], mobile))) \
            and not notes
    got = chromium_engines(output, work)
    if got is None:
        return None
    menu, toolbar, engines = got
    kept = without_engines(tree)
    want_engines = [(n, k, common.norm_url(u)) for n, k, u in engines_of(tree)]
    have_engines = [(n, k, common.norm_url(u)) for n, k, u in engines]
    equal = common.same("chromium", name, started, (
        ("tree", common.outline(kept, "chromium"), menu),
        ("toolbar", common.personal_bar(kept, "chromium"), toolbar)))
    if sorted(want_engines) == sorted(have_engines):
        print("chromium: %s search engines equal (%d)" % (name, len(want_engines)))
        return equal
    print("chromium: %s search engines differ\n    Opera:    %s\n    Chromium: %s"
          % (name, sorted(want_engines), sorted(have_engines)))
    return False


def cases(arguments):
    out = []
    while arguments:
        argument = arguments.pop(0)
        if argument != "--profiles":
            hotlist, _, links = argument.partition("=")
            out.append((hotlist, links))
            continue
        opera, profiles = arguments.pop(0), arguments.pop(0)
        if not os.path.isdir(profiles):
            continue  # the real samples are not on every machine
        for profile in sorted(os.listdir(profiles)):
            links = os.path.join(profiles, profile)
            if not os.path.isdir(links):
                continue
            hotlist = next((h for h in (os.path.join(opera, profile + "__" + n)
                                        for n in ("bookmarks.adr", "opera6.adr"))
                            if os.path.isfile(h)), None)
            if link_sources(links)[0]:
                out.append((hotlist, links))
    return out


def main():
    if len(sys.argv) < 4 or sys.argv[2] not in ("firefox", "chromium", "search-engines"):
        print(__doc__)
        return 2
    convert, browser = sys.argv[1], sys.argv[2]
    if browser == "firefox" and not (shutil.which("firefox-esr") or shutil.which("firefox")):
        print("firefox-esr is not installed: skipped")
        return SKIP
    if browser != "firefox" and not os.path.exists(common.CHROMIUM):
        print("chromium is not installed: skipped")
        return SKIP
    if browser != "search-engines":
        usage = subprocess.run([convert, "--help"], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, timeout=60).stdout.decode()
        if not re.search(r"--flavour [a-z|]*\b%s\b" % browser, usage):
            print("quarvo-convert does not write the %s file yet: skipped" % browser)
            return SKIP
    failed = False
    for hotlist, links in cases(sys.argv[3:]):
        if browser == "search-engines" and not links:
            continue  # the HTML alone is browser_import_check's
        with tempfile.TemporaryDirectory() as work:
            if hotlist is None:
                # A profile without a hotlist: one bookmark, for Chromium
                # writes no Bookmarks file, the sign its import is done,
                # without one.
                hotlist = os.path.join(work, "one.adr")
                open(hotlist, "w").write("Opera Hotlist version 2.0\n"
                                         "Options: encoding = utf8, version=3\n\n"
                                         "#URL\n\tNAME=one\n\tURL=http://one.example/\n")
            result = check(convert, browser, hotlist, links, work)
            if result is None:
                print("%s did not read %s here: skipped" % (browser, hotlist))
                return SKIP
            failed = failed or not result
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
