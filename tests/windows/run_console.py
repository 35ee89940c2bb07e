#!/usr/bin/env python3
"""The Windows command line, velmora.com, run under Wine as cmd.exe would run it: the Linux
command line's own cases (tests/cli/run_cli.py), then what is the console program's own: UTF-16
arguments, the files beside it and the user's from where they typed, and the window it starts.

    run_console.py --wine-run scripts/wine-run.sh --prefix build/windows/wine-prefix
                   --program build/windows/velmora.com --data data --version 1.0.1 --case all
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cli"))
import run_cli  # noqa: E402
from run_cli import Failure, check  # noqa: E402


class Runner(run_cli.Runner):
    def __init__(self, args, folder):
        # The program as a user unpacks it, with the delivered files beside it, and a folder of
        # the user's own, named out of ASCII, where the commands are typed.
        program_folder = os.path.join(folder, "Velmora 1.0")
        os.makedirs(program_folder)
        program = shutil.copy(args.program, os.path.join(program_folder, "velmora.com"))
        for name in ("conv.txt", "names.txt"):
            shutil.copy(os.path.join(args.data, name), program_folder)
        user_folder = os.path.join(folder, "Mes unit\u00e9s \u6e2c")
        os.makedirs(user_folder)
        super().__init__(program, os.path.join(args.data, "conv.txt"), args.version, user_folder)
        self.wine = [os.path.abspath(args.wine_run), os.path.abspath(args.prefix)]
        # Wine reads the arguments in the locale's character set.
        self.env["LC_ALL"] = "C.UTF-8"
        # The Windows window is no Qt program.
        self.usage_first_line = "Usage: velmora\n"

    def run(self, *args, cwd=None, env=None):
        process = subprocess.run([*self.wine, self.binary, *args], cwd=cwd or self.folder,
                                 env={**self.env, **(env or {})}, capture_output=True,
                                 timeout=60)
        return process.returncode, process.stdout.decode("utf-8"), process.stderr.decode("utf-8")


def case_users_files(r):
    # Arguments out of ASCII arrive whole; a file the user names is read from the folder they
    # typed the command in, whose name is no ASCII either.
    with open(os.path.join(r.folder, "m\u00efne.txt"), "wb") as f:
        f.write("L\u00e4nge|n|a|b|x*3\r\n".encode("utf-8"))
    r.expect(["--convert", "2", "a", "b", "--catalog", "m\u00efne.txt"], 0, out="6\n", err="")
    r.expect(["--check", "m\u00efne.txt"], 0, err="",
             out="m\u00efne.txt: 1 line, 1 category, 1 conversion, 0 problems\n")
    # Problems found: exit status 1.
    with open(os.path.join(r.folder, "bad.txt"), "wb") as f:
        f.write(b"Length|m to ft|Meters|Feet|x/0.3048\r\nLength|Feet||Inches|x*12\r\n")
    r.expect(["--check", "bad.txt"], 1, err="", out_start="bad.txt:2: ignored: ")
    # A device is no catalog and does not hold the program, whether it opens or not.
    for device in ("NUL", "CON", "com1.txt"):
        r.expect(["--check", device], 2, out="",
                 err=f"velmora: the catalog {device} is not a regular file\n")
    # names.txt belongs to the conv.txt beside it, not to every catalog in its folder.
    shutil.copy(os.path.join(os.path.dirname(r.binary), "names.txt"), r.folder)
    out, _ = r.expect(["--check", "m\u00efne.txt"], 0, err="")
    check(out.endswith("names.txt: not checked with m\u00efne.txt, as it belongs to the conv.txt "
                       "beside it; velmora --check names.txt checks it\n"), out)


def case_window_missing(r):
    # Without arguments it starts velmora.exe beside it; without one, it says so.
    _, err = r.expect([], 1, out="")
    check(err.startswith("velmora: cannot start ") and "velmora.exe" in err, err)


CASES = {"help": run_cli.case_help, "version": run_cli.case_version,
         "unknown_option": run_cli.case_unknown_option, "convert": run_cli.case_convert,
         "users_files": case_users_files, "window_missing": case_window_missing}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--wine-run", "--prefix", "--program", "--data", "--version"):
        parser.add_argument(option, required=True)
    parser.add_argument("--case", default="all", choices=["all", *CASES])
    args = parser.parse_args()
    failed = 0
    for name in CASES if args.case == "all" else [args.case]:
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
