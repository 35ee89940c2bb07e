"""Pictures of the Windows window under Wine for docs/windows.md: the main window with a
result, made larger, and at 150% scaling, and the Options, Precision, Find Conversion and About
dialogs over it. Needs the Windows build
(cmake --preset windows && cmake --build build/windows), Xvfb, xdotool and Wine.

    python3 scripts/windows-screenshots.py [BUILD_DIR]      writes docs/windows-*.png
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "win32"))
from wine_session import Session  # noqa: E402
from window_e2e import drag_corner  # noqa: E402


def start_with_input(s, picture):
    """Starts the window, types 42 into the input field and takes the window's picture."""
    s.start()
    s.click("Velmora", 1003)
    s.type("42")
    s.expect(input="42")
    s.shot("Velmora", picture)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows"))
    prefix = os.path.join(build, "wine-prefix")
    subprocess.run(["sh", os.path.join(ROOT, "scripts", "wine-prefix.sh"), prefix], check=True)
    folder = tempfile.mkdtemp(prefix="velmora-shots-")
    for name in ("conv.txt", "names.txt"):
        shutil.copy(os.path.join(ROOT, "data", name), folder)
    # Every picture from the first start, not from where the last one closed.
    with open(os.path.join(folder, "view.ini"), "w") as view:
        view.write("resume-last=0\n")
    s = Session(os.path.join(build, "velmora.exe"),
                os.path.join(build, "tests", "win32", "window_probe.exe"), prefix, folder)
    docs = os.path.join(ROOT, "docs")
    try:
        start_with_input(s, os.path.join(docs, "windows-window.png"))
        for keys, title, name in ((("alt+c", "o"), "Options", "options"),
                                  (("alt+c", "p"), "Precision", "precision"),
                                  (("ctrl+f",), "Find Conversion", "find"),
                                  (("alt+h", "a"), "About", "about")):
            s.click("Velmora", 1003)
            s.keys(*keys)
            s.wait_for_window(title)
            if title == "Find Conversion":
                s.type("5 mi to km")
            time.sleep(0.5)
            s.shot(title, os.path.join(docs, "windows-%s.png" % name))
            s.keys("Escape")
        drag_corner(s, 260, 180)
        time.sleep(0.5)
        s.shot("Velmora", os.path.join(docs, "windows-window-large.png"))
        s.close()
        os.remove(os.path.join(folder, "window.ini"))
        # 150% scaling, as a Windows user sets it: the prefix's DPI, read at each start.
        key = r"HKCU\Control Panel\Desktop"
        s.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f"])
        try:
            start_with_input(s, os.path.join(docs, "windows-window-150.png"))
            s.close()
        finally:
            s.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "96", "/f"])
    finally:
        s.stop()
        shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
