# SPDX-License-Identifier: MIT
# A private Xvfb display for the checks that drive the program on a real X
# server; Xvfb picks a free display number and tells it through a pipe.
import os
import subprocess


def start_display(size="1024x768"):
    """Starts Xvfb; returns its process and the display's name (":N")."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24", "-nolisten", "tcp"],
        pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    return xvfb, ":" + number.decode().strip()
