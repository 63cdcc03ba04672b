#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Where the program's boxes open under a real window manager, which only
# then gives windows their frames: the program runs on a private Xvfb with
# openbox, Start conversion is pressed with the File menu's keys, and the
# result box's frame must be centred over the main window's frame, as the
# file viewer and its question over theirs.
#   box_placement_check.py QUARVO
# Exits 77 (skipped) without Xvfb, openbox, xdotool or xprop.
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from private_display import start_display

SKIP = 77


def need(condition, what):
    if not condition:
        print(f"skipped: {what}")
        sys.exit(SKIP)


need(len(sys.argv) == 2, "usage: box_placement_check.py QUARVO")
for tool in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo"):
    need(shutil.which(tool), f"no {tool}")



def run(env, *command):
    return subprocess.run(command, env=env, capture_output=True, text=True).stdout


def frame(env, window):
    """The window's frame on the screen: its client box grown by the frame's extents."""
    info = run(env, "xwininfo", "-id", window)
    x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
    y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
    w = int(re.search(r"Width:\s+(\d+)", info).group(1))
    h = int(re.search(r"Height:\s+(\d+)", info).group(1))
    extents = re.findall(r"-?\d+", run(env, "xprop", "-id", window, "_NET_FRAME_EXTENTS")
                         .partition("=")[2])
    left, right, top, bottom = (int(e) for e in extents) if len(extents) == 4 else (0, 0, 0, 0)
    return x - left, y - top, w + left + right, h + top + bottom


def centre(box):
    x, y, w, h = box
    return x + w / 2, y + h / 2


def active_window(env, other_than, timeout=10):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        window = run(env, "xdotool", "getactivewindow").strip()
        if window and window not in other_than:
            time.sleep(0.5)  # mapped, framed and placed
            return window
        time.sleep(0.1)
    return ""


def main():
    xvfb, display = start_display("1280x1024")
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    home = tempfile.mkdtemp(prefix="quarvo-boxes-")
    os.makedirs(os.path.join(home, ".opera"))
    with open(os.path.join(home, ".opera", "contacts.adr"), "wb") as f:
        f.write(b"Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME=Ada\r\n")
    time.sleep(1)
    program = subprocess.Popen([sys.argv[1]], env=dict(env, HOME=home), cwd=home,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    failures = []
    try:
        main_window = active_window(env, [], 20)
        if not main_window:
            print("the main window never became active")
            return 1
        def expect_centred(name, window, owner):
            if not window:
                failures.append(f"no {name} came up")
                return
            (x, y), (ox, oy) = centre(frame(env, window)), centre(frame(env, owner))
            if abs(x - ox) > 2 or abs(y - oy) > 2:
                failures.append(f"the {name}'s frame is centred at {x:.0f}, {y:.0f}, "
                                f"its owner's at {ox:.0f}, {oy:.0f}")

        # Start conversion, then the viewer and its question.
        run(env, "xdotool", "key", "--delay", "300", "alt+f", "s")
        box = active_window(env, [main_window])
        expect_centred("result box", box, main_window)
        run(env, "xdotool", "key", "Return")
        time.sleep(0.5)
        run(env, "xdotool", "key", "--delay", "300", "alt+f", "c")
        viewer = active_window(env, [main_window, box])
        expect_centred("viewer", viewer, main_window)
        run(env, "xdotool", "type", "z")
        run(env, "xdotool", "key", "ctrl+w")
        question = active_window(env, [main_window, box, viewer])
        expect_centred("question", question, viewer)
        run(env, "xdotool", "key", "Escape")
    finally:
        program.kill()
        program.wait()
        wm.terminate()
        wm.wait()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


sys.exit(main())
