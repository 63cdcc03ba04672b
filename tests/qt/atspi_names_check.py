#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# What a screen reader hears, through the desktop's accessibility bus
# (AT-SPI): the program is started on a private Xvfb with an AT-SPI bus of
# its own, and every file field, browse button and caption-less button of
# the main window and of the file viewer (opened with the keyboard, as a
# user would) must carry the name its label or hint shows.
#   atspi_names_check.py QUARVO
# Run inside dbus-run-session. Exits 77 (skipped) without Xvfb, xdotool,
# the AT-SPI bus launcher or the Atspi introspection data.
import os
import shutil
import subprocess
import sys
import tempfile
import time

from private_display import start_display

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def need(condition, what):
    if not condition:
        print(f"skipped: {what}")
        sys.exit(SKIP)


need(len(sys.argv) == 2, "usage: atspi_names_check.py QUARVO")
need(shutil.which("Xvfb") and shutil.which("xdotool"), "no Xvfb or xdotool")
need(os.path.exists(LAUNCHER), "no AT-SPI bus launcher")
need(os.environ.get("DBUS_SESSION_BUS_ADDRESS"), "no session bus (run in dbus-run-session)")
try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
except (ImportError, ValueError):
    need(False, "no Atspi introspection data (gir1.2-atspi-2.0)")



def walk(node, found):
    try:
        found.append((node.get_role_name(), node.get_name()))
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child is not None:
                walk(child, found)
    except gi.repository.GLib.GError:
        pass


def program_tree(timeout):
    """The (role, name) pairs of the program's accessible objects."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == "Quarvo":
                found = []
                walk(app, found)
                return found
        time.sleep(0.2)
    return []


def until(condition, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        result = condition()
        if result:
            return result
        time.sleep(0.2)
    return condition()


def main():
    xvfb, display = start_display()
    env = dict(os.environ, DISPLAY=display, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb")
    bus = subprocess.Popen([LAUNCHER, "--launch-immediately"], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    home = tempfile.mkdtemp(prefix="quarvo-atspi-")
    os.makedirs(os.path.join(home, ".opera"))
    with open(os.path.join(home, ".opera", "contacts.adr"), "wb") as f:
        f.write(b"Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME=Ada\r\n")
    program = subprocess.Popen([sys.argv[1]], env=dict(env, HOME=home), cwd=home,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    failures = []
    try:
        # The program joins the bus before its windows are all there: wait
        # for the last button of the main window.
        def whole_main_window():
            tree = program_tree(5)
            return tree if ("push button", "Exit") in tree else []

        main_window = until(whole_main_window, 30) or program_tree(1)
        if not main_window:
            print("the program never appeared on the accessibility bus")
            return 1
        names = {name for role, name in main_window}
        for label in ["Opera Contacts-File", "Opera Bookmarks-File", "Contacts-Output-File",
                      "Bookmark-Output-File"]:
            if ("text", label) not in main_window:
                failures.append(f"no text field named {label!r}")
            if ("push button", "Browse for the " + label) not in main_window:
                failures.append(f"no browse button named for {label!r}")
        for button in ["Help", "Show contacts", "Show Bookmarks", "Start conversion", "About",
                       "Exit"]:
            if ("push button", button) not in main_window:
                failures.append(f"no button named {button!r}")
        unnamed = [role for role, name in main_window
                   if role in ("push button", "text") and not name.strip()]
        if unnamed:
            failures.append(f"unnamed controls: {unnamed}")

        # File > Open Opera-Contacts, by its access keys.
        window = until(lambda: subprocess.run(
            ["xdotool", "search", "--name", "^Quarvo$"], env=env, capture_output=True,
            text=True).stdout.split(), 10)
        viewer_buttons = ["Reload file, discard all changes (F5)", "Save as ... (Ctrl+Shift+S)",
                          "Save changes (Ctrl+S)", "Close, go back to Main-Window (Esc)"]
        viewer = []
        # On a busy machine a key can reach the window before it takes
        # the focus: the keys are given again, as a user would press them.
        for attempt in range(3):
            if window:
                # No window manager here: the keyboard's focus is given directly.
                subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], env=env,
                               capture_output=True)
            subprocess.run(["xdotool", "key", "--delay", "200", "alt+f", "c"], env=env)
            viewer = until(lambda: [n for n in program_tree(5)
                                    if n == ("push button", viewer_buttons[0])], 10)
            if viewer:
                break
        tree = program_tree(5)
        if not viewer:
            failures.append("the viewer did not open with Alt+F, C")
        for button in viewer_buttons:
            if viewer and ("push button", button) not in tree:
                failures.append(f"no viewer button named {button!r}")
        if viewer and ("text", "Text of the file") not in tree:
            failures.append("the viewer's editor is unnamed")
        print(f"{len(main_window)} objects in the main window, {len(names)} names")
    finally:
        program.kill()
        program.wait()
        bus.terminate()
        bus.wait()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


sys.exit(main())
