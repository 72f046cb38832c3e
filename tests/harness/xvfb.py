"""A private X server for the window tests: Xvfb picks a free display number
itself (-displayfd), so tests running side by side never collide."""
import os
import subprocess


def start_xvfb(size="1280x800"):
    """Starts Xvfb with a screen of size ("WxH") and returns the process and
    its display name (":N")."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24",
                             "-nolisten", "tcp"], pass_fds=(write,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    return xvfb, ":" + number.decode().strip()
