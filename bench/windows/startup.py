"""Start-up time and idle memory of velmora.exe under Wine beside an empty Win32 dialog of the
same caption, size and manifest, started the same way in the same rounds (a benchmark, not a
test). Start-up is from launching `wine PROGRAM` to its window being mapped on the Xvfb; idle
memory is the process's resident set one second later.

    python3 bench/windows/startup.py [BUILD_DIR] [ROUNDS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "win32"))
from wine_session import Session  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def build_empty_dialog(out_dir):
    exe = os.path.join(out_dir, "empty_dialog.exe")
    res = os.path.join(out_dir, "empty_dialog_res.o")
    subprocess.run(["x86_64-w64-mingw32-windres", "-I", HERE, os.path.join(HERE, "empty_dialog.rc"),
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


def one_start(session, exe):
    start = time.monotonic()
    program = session.launch(exe)
    while session.run(["xdotool", "search", "--onlyvisible", "--name", "^Velmora$"]).returncode != 0:
        if time.monotonic() - start > 60:
            raise RuntimeError("no window from " + exe)
    elapsed = time.monotonic() - start
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
    programs = {"empty dialog": build_empty_dialog(folder),
                "velmora.exe": os.path.join(build, "velmora.exe")}
    session = Session(None, None, prefix, folder)
    results = {name: [] for name in programs}
    try:
        one_start(session, programs["empty dialog"])  # wakes the server and fills the caches
        for _ in range(rounds):
            for name, exe in programs.items():
                results[name].append(one_start(session, exe))
    finally:
        session.stop()
        shutil.rmtree(folder, ignore_errors=True)
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
