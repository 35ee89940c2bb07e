"""Start-up time and idle memory of velmora.exe under Wine beside an empty Win32 dialog of the
same caption, size and manifest, started the same way in the same rounds (a benchmark, not a
test). Start-up is from launching `wine PROGRAM` to its window being mapped on the Xvfb, as the
X server tells a client listening on the root window (no polling, which would cost as much as an
empty window's start); idle memory is the process's resident set one second later. velmora.exe
also writes when each of its start-up steps ended (VELMORA_STARTUP_STEPS), and the medians of
those are printed too. Needs Debian's python3-xlib.

    python3 bench/windows/startup.py [BUILD_DIR] [ROUNDS]
"""
import os
import queue
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

try:
    from Xlib import X, display
except ImportError:  # Debian's python3-xlib, under another Python than Debian's
    sys.path.append("/usr/lib/python3/dist-packages")
    from Xlib import X, display

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "win32"))
from wine_session import Session  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def build_empty_dialog(out_dir, build):
    exe = os.path.join(out_dir, "empty_dialog.exe")
    res = os.path.join(out_dir, "empty_dialog_res.o")
    subprocess.run(["x86_64-w64-mingw32-windres", "-I", os.path.join(build, "generated"),
                    os.path.join(HERE, "empty_dialog.rc"),
                    "-O", "coff", "-o", res], check=True, cwd=HERE)
    subprocess.run(["x86_64-w64-mingw32-g++-posix", "-std=c++20", "-O2", "-s", "-static", "-municode",
                    "-mwindows", "-DUNICODE", os.path.join(HERE, "empty_dialog.cpp"), res, "-o", exe,
                    "-lcomctl32"], check=True)
    return exe


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


class MapListener:
    """The moments windows titled Velmora are mapped, from the X server's MapNotify events."""

    def __init__(self, name):
        self.connection = display.Display(name)
        root = self.connection.screen().root
        root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.connection.sync()
        self.mapped = queue.Queue()
        threading.Thread(target=self.listen, daemon=True).start()

    def listen(self):
        while True:
            try:
                event = self.connection.next_event()
            except Exception:  # the display has gone at the end
                return
            if event.type != X.MapNotify:
                continue
            moment = time.monotonic()
            try:
                if event.window.get_wm_name() == "Velmora":
                    self.mapped.put(moment)
            except Exception:  # a window gone before its name was read
                pass


def one_start(session, listener, exe, steps=None):
    while not listener.mapped.empty():
        listener.mapped.get()
    start = time.monotonic()
    program = session.launch(exe, **({"VELMORA_STARTUP_STEPS": steps} if steps else {}))
    elapsed = listener.mapped.get(timeout=60) - start
    time.sleep(1.0)
    memory = resident_kib(program.pid)
    session.keys("alt+F4")
    try:
        program.wait(timeout=10)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
    return elapsed, memory


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows"))
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    prefix = os.path.join(build, "wine-prefix")
    subprocess.run(["sh", os.path.join(ROOT, "scripts", "wine-prefix.sh"), prefix], check=True)
    folder = tempfile.mkdtemp(prefix="velmora-bench-")
    for name in ("conv.txt", "names.txt"):
        shutil.copy(os.path.join(ROOT, "data", name), folder)
    programs = {"empty dialog": build_empty_dialog(folder, build),
                "velmora.exe": os.path.join(build, "velmora.exe")}
    load_before = os.getloadavg()[0]
    session = Session(None, None, prefix, folder)
    listener = MapListener(session.env["DISPLAY"])
    results = {name: [] for name in programs}
    steps_file = os.path.join(folder, "steps.txt")
    steps = {}
    try:
        one_start(session, listener, programs["empty dialog"])  # wakes the server, fills caches
        for _ in range(rounds):
            for name, exe in programs.items():
                own = name == "velmora.exe"
                results[name].append(one_start(session, listener, exe, steps_file if own else None))
                if own:
                    with open(steps_file) as f:
                        for line in f:
                            step, ms = line.split()
                            steps.setdefault(step, []).append(float(ms))
                    os.remove(steps_file)
    finally:
        session.stop()
        shutil.rmtree(folder, ignore_errors=True)
    print("velmora.exe's steps, median ms since its process was created (each step's own):")
    last = 0.0
    for step, times in steps.items():
        at = statistics.median(times)
        print("  %-16s %7.1f  (%5.1f)" % (step, at, at - last))
        last = at
    print("load average before and after: %.2f, %.2f" % (load_before, os.getloadavg()[0]))
    print("%d rounds, medians (min-max):" % rounds)
    for name, runs in results.items():
        times = [t * 1000 for t, _ in runs]
        memory = [m / 1024 for _, m in runs]
        print("  %-13s start-up %6.0f ms (%4.0f-%4.0f)   idle memory %5.1f MiB (%4.1f-%4.1f)" % (
            name, statistics.median(times), min(times), max(times),
            statistics.median(memory), min(memory), max(memory)))
    empty, own = results["empty dialog"], results["velmora.exe"]
    print("  ratio         start-up %.2fx   idle memory %.2fx" % (
        statistics.median(t for t, _ in own) / statistics.median(t for t, _ in empty),
        statistics.median(m for _, m in own) / statistics.median(m for _, m in empty)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
