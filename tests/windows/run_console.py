#!/usr/bin/env python3
"""The Windows command line, velmora.com, run under Wine as cmd.exe would run it: its output, its
exit status, UTF-16 arguments, and the files it works on (those beside it; the user's own file
names from the folder they typed them in).

    run_console.py --wine-run scripts/wine-run.sh --prefix build/windows/wine-prefix
                   --program build/windows/velmora.com --data data --version 1.0.1
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

ARROW = "\u2192"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Runner:
    def __init__(self, args, folder):
        self.wine = [os.path.abspath(args.wine_run), os.path.abspath(args.prefix)]
        self.version = args.version
        # The program as a user unpacks it: velmora.com with the delivered files beside it.
        self.program_folder = os.path.join(folder, "Velmora 1.0")
        os.makedirs(self.program_folder)
        self.program = os.path.join(self.program_folder, "velmora.com")
        shutil.copy(args.program, self.program)
        for name in ("conv.txt", "names.txt"):
            shutil.copy(os.path.join(args.data, name), self.program_folder)
        # Where the user types the command: a folder of their own, with a name out of ASCII.
        self.user_folder = os.path.join(folder, "Mes unit\u00e9s \u6e2c")
        os.makedirs(self.user_folder)
        # Wine reads the arguments in the locale's character set.
        self.env = {**{k: v for k, v in os.environ.items() if k != "DISPLAY"},
                    "LC_ALL": "C.UTF-8"}

    def expect(self, args, status, out=None, err=None, out_start=None):
        process = subprocess.run([*self.wine, self.program, *args], cwd=self.user_folder,
                                 env=self.env, capture_output=True, timeout=60)
        got_out = process.stdout.decode("utf-8")
        got_err = process.stderr.decode("utf-8")
        where = "velmora " + " ".join(args)
        check(process.returncode == status, f"{where}: exit {process.returncode}, expected "
                                            f"{status}; stdout {got_out!r}, stderr {got_err!r}")
        if out is not None:
            check(got_out == out, f"{where}: stdout {got_out!r}, expected {out!r}")
        if err is not None:
            check(got_err == err, f"{where}: stderr {got_err!r}, expected {err!r}")
        if out_start is not None:
            check(got_out.startswith(out_start), f"{where}: stdout {got_out!r}")
        return got_out, got_err


def case_help_and_version(r):
    usage, _ = r.expect(["--help"], 0, err="", out_start="Usage: velmora")
    r.expect(["--version"], 0, out=f"Velmora {r.version}\n", err="")
    r.expect(["--bogus"], 2, out="", err="velmora: unknown option --bogus\n" + usage)


def case_convert(r):
    # The catalog and names beside the program, whatever folder the command is typed in.
    r.expect(["--convert", "5", "mi", "km"], 0, out="8.04672\n",
             err=f"velmora: 5 Miles (international) {ARROW} Kilometers\n")
    # Arguments out of ASCII arrive whole.
    r.expect(["--convert", "100", "\u00b0F", "\u00b0C"], 0, out="37.7777777777778\n",
             err=f"velmora: 100 Degrees Fahrenheit {ARROW} Degrees Celsius\n")
    r.expect(["--convert", "1", "Kilometers", "Meters", "--catalog", "absent.txt"], 2, out="",
             err="velmora: there is no catalog absent.txt\n")


def case_users_files(r):
    # A file the user names is found in the folder they typed the command in, whose name, like
    # the file's, is no ASCII.
    with open(os.path.join(r.user_folder, "m\u00efne.txt"), "wb") as f:
        f.write("L\u00e4nge|n|a|b|x*3\r\n".encode("utf-8"))
    r.expect(["--convert", "2", "a", "b", "--catalog", "m\u00efne.txt"], 0, out="6\n", err="")
    r.expect(["--check", "m\u00efne.txt"], 0, err="",
             out="m\u00efne.txt: 1 line, 1 category, 1 conversion, 0 problems\n")
    # Problems found: exit status 1.
    with open(os.path.join(r.user_folder, "bad.txt"), "wb") as f:
        f.write(b"Length|m to ft|Meters|Feet|x/0.3048\r\nLength|Feet||Inches|x*12\r\n")
    r.expect(["--check", "bad.txt"], 1, err="", out_start="bad.txt:2: ignored: ")
    # A device is no catalog and does not hold the program.
    r.expect(["--check", "NUL"], 2, out="", err="velmora: the catalog NUL is not a regular file\n")


def case_window_missing(r):
    # Without arguments it starts velmora.exe beside it; without one, it says so.
    _, err = r.expect([], 1, out="")
    check(err.startswith("velmora: cannot start ") and "velmora.exe" in err, err)


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--case", default="all", choices=["all", *CASES])
    args = parser.parse_args()
    names = list(CASES) if args.case == "all" else [args.case]
    failed = 0
    for name in names:
        with tempfile.TemporaryDirectory(prefix="velmora-console-") as folder:
            try:
                CASES[name](Runner(args, folder))
                print(f"PASS {name}")
            except (Failure, subprocess.TimeoutExpired) as error:
                failed += 1
                print(f"FAIL {name}: {error}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
