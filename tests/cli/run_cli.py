#!/usr/bin/env python3
"""The command line of the real velmora binary: --help, --version, unknown options, --convert and
--check, each run with no display at all (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset), so a
case that tried to open a window would fail instead of passing by accident.

    run_cli.py --binary build/velmora --catalog data/conv.txt --version 1.0.1 --case all
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
    def __init__(self, binary, catalog, version, folder):
        self.binary = binary
        self.catalog = catalog
        self.version = version
        self.folder = folder
        self.usage_first_line = "Usage: velmora [--find] [Qt options]\n"
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                 "VELMORA_CALLER_DIR")}

    def run(self, *args, cwd=None, env=None):
        process = subprocess.run([self.binary, *args], cwd=cwd or self.folder,
                                 env={**self.env, **(env or {})}, capture_output=True,
                                 timeout=60)
        return process.returncode, process.stdout.decode("utf-8"), process.stderr.decode("utf-8")

    def expect(self, args, status, out=None, err=None, out_start=None, err_start=None, **kw):
        got_status, got_out, got_err = self.run(*args, **kw)
        where = "velmora " + " ".join(args)
        check(got_status == status, f"{where}: exit {got_status}, expected {status}; "
                                    f"stdout {got_out!r}, stderr {got_err!r}")
        if out is not None:
            check(got_out == out, f"{where}: stdout {got_out!r}, expected {out!r}")
        if err is not None:
            check(got_err == err, f"{where}: stderr {got_err!r}, expected {err!r}")
        if out_start is not None:
            check(got_out.startswith(out_start), f"{where}: stdout {got_out!r} does not start "
                                                 f"with {out_start!r}")
        if err_start is not None:
            check(got_err.startswith(err_start), f"{where}: stderr {got_err!r} does not start "
                                                 f"with {err_start!r}")
        return got_out, got_err


def case_help(r):
    for option in ("--help", "-h"):
        out, _ = r.expect([option], 0, err="", out_start=r.usage_first_line)
        for text in ("--convert VALUE FROM TO", "--check [FILE]", "--version"):
            check(text in out, f"the usage does not mention {text}")
        check(out.count("\n") <= 24, "the usage is longer than a terminal")


def case_version(r):
    for option in ("--version", "-v"):
        r.expect([option], 0, out=f"Velmora {r.version}\n", err="")


def case_unknown_option(r):
    # Which arguments are wrong is the argument reader's own tests' business; here, what the
    # program does with one.
    usage, _ = r.expect(["--help"], 0)
    r.expect(["--bogus"], 2, out="", err="velmora: unknown option --bogus\n" + usage)


def case_convert(r):
    # The conversions themselves are the core tests' business; here, the delivered catalog's
    # labels, stdout, stderr and the exit status of the real program.
    shutil.copy(r.catalog, os.path.join(r.folder, "conv.txt"))
    shutil.copy(os.path.join(os.path.dirname(r.catalog), "names.txt"), r.folder)
    r.expect(["--convert", "1", "Kilometers", "Light years"], 0, out="1.05700083402462e-13\n",
             err="")
    # The delivered names.txt: symbols, and stderr saying which labels they stood for.
    r.expect(["--convert", "5", "mi", "km"], 0, out="8.04672\n",
             err=f"velmora: 5 Miles (international) {ARROW} Kilometers\n")
    r.expect(["--convert", "100", "\u00b0F", "\u00b0C"], 0, out="37.7777777777778\n",
             err=f"velmora: 100 Degrees Fahrenheit {ARROW} Degrees Celsius\n")
    r.expect(["--convert", "1", "Meters", "Feet (international)", "--precision", "2"], 0,
             out="3.28\n", err="")
    r.expect(["--convert", "1", "Kilomiles", "Meters"], 2, out="",
             err_start="velmora: no unit \"Kilomiles\" to convert from in conv.txt; the closest: "
                       "\"Kilometers (Length)\"")
    r.expect(["--convert", "1", "Kilometers", "Meters", "--catalog", "absent.txt"], 2, out="",
             err="velmora: there is no catalog absent.txt\n")


def case_convert_values(r):
    # Values and units as people write them, each unit by a name it has; a tie is never guessed.
    shutil.copy(r.catalog, os.path.join(r.folder, "conv.txt"))
    shutil.copy(os.path.join(os.path.dirname(r.catalog), "names.txt"), r.folder)
    printed = [
        (["5 ft 11 in", "cm"], "180.34\n"),
        (["5 mi to km"], "8.04672\n"),
        (["1/2 cup to ml"], "118.29411825\n"),
        (["3*12", "in", "ft"], "3\n"),
        (["1", "ft lbf", "Nm"], "1.3558179483314\n"),
        (["1", "fl oz", "ml"], "29.5735295625\n"),
        (["1", "e", "coulomb"], "1.602176634e-19\n"),
        (["180", "cm", "ft in", "--precision", "1"], "5 ft 10.9 in\n"),
        (["100", "min", "h min s", "--precision", "1"], "1 h 40 min 0.0 s\n"),
        (["1", "btu", "kwh", "--precision", "1"], "0.000293\n"),
    ]
    for args, out in printed:
        r.expect(["--convert", *args], 0, out=out)
    # A word that names no unit, or units of two quantities, is refused with what it is.
    r.expect(["--convert", "1", "pond", "N"], 2, out="",
             err_start='velmora: no unit "pond" to convert from in conv.txt; the closest: ')
    r.expect(["--convert", "1", "oz", "ml"], 2, out="",
             err='velmora: "oz" is Ounces (avoirdupois) (Mass) and "ml" Milliliters (Volume): '
                 'no conversion between them; "oz" is part of a name of "Fluid ounces (US)" or '
                 '"Fluid ounces (imperial)"\n')
    r.expect(["--convert", "1 mw to kw"], 2, out="",
             err='velmora: "mw" could be: Milliwatts (mW), Megawatts (MW); write one of them\n')
    r.expect(["--convert", "2^3", "m", "km"], 2, out="", err_start='velmora: the value "2^3"')
    # Names whose meaning differs by country follow the region of the locale.
    for locale, out, unit in (("en_US.UTF-8", "3.785411784\n", "Gallons (US liquid)"),
                              ("en_GB.UTF-8", "4.54609\n", "Gallons (imperial)")):
        r.expect(["--convert", "1 gallon to l"], 0, out=out,
                 err=f"velmora: 1 {unit} {ARROW} Liters\n", env={"LC_ALL": locale})
    # A decimal comma only where the locale writes one.
    r.expect(["--convert", "1,5 km to m"], 0, out="1500\n", env={"LC_ALL": "de_DE.UTF-8"})
    r.expect(["--convert", "1,5 km to m"], 2, out="", env={"LC_ALL": "C"})
    # Thousands in the locale's own separator, in groups of three; none guessed without a locale,
    # and none where a point could as well write decimals.
    r.expect(["--convert", "1.250.000 m to km"], 0, out="1250\n", env={"LC_ALL": "de_DE.UTF-8"})
    r.expect(["--convert", "12.500 m to km"], 2, out="", env={"LC_ALL": "de_DE.UTF-8"})
    r.expect(["--convert", "12,500 m to km"], 2, out="", env={"LC_ALL": "C"})
    # A run of signs once overflowed the stack: now a message and status 2.
    r.expect(["--convert", "0" + "-" * 60000 + "1", "m", "km"], 2, out="",
             err_start='velmora: the value "0---')


def case_check_delivered(r):
    # In the folder of the delivered catalog, with the default file name: the names beside it
    # are checked with it.
    r.expect(["--check"], 0, err="",
             out="conv.txt: 5042 lines, 28 categories, 5042 conversions, 0 problems\n"
                 "names.txt: 398 lines, 335 labels, 1670 names, 0 problems\n",
             cwd=os.path.dirname(os.path.abspath(r.catalog)))


def case_check_problems(r):
    with open(os.path.join(r.folder, "bad.txt"), "wb") as f:
        f.write(b"Length|m to ft|Meters|Feet|x/0.3048\r\n"
                b"Length|ft to m|Feet|Meters|x*0.3\r\n"
                b"Length|Feet||Inches|x*12\r\n")
    r.expect(["--check", "bad.txt"], 1, err="",
             out=f"bad.txt:2: not the inverse of line 1, Length: Meters {ARROW} Feet: "
                 f"1 Meters there and back gives 0.984251968503937\n"
                 "bad.txt:3: ignored: 4 fields where a conversion needs 5 "
                 "(category|name|from|to|formula); an empty field between two \"|\" counts for "
                 "nothing\n"
                 "bad.txt: 3 lines, 1 category, 2 conversions, 2 problems\n")
    r.expect(["--check", "absent.txt"], 2, out="",
             err="velmora: cannot read the catalog absent.txt\n")
    # Neither a device that never ends nor a pipe nobody writes holds the program.
    os.mkfifo(os.path.join(r.folder, "pipe"))
    for args, name in ((["--check", "/dev/zero"], "/dev/zero"),
                       (["--convert", "1", "a", "b", "--catalog", "pipe"], "pipe")):
        r.expect(args, 2, out="", err=f"velmora: the catalog {name} is not a regular file\n")


def case_caller_folder(r):
    # The installed launcher runs the program in its data folder and names the user's folder in
    # VELMORA_CALLER_DIR: file names given are taken from there, the default conv.txt is not.
    data = os.path.join(r.folder, "data")
    user = os.path.join(r.folder, "user")
    os.makedirs(data)
    os.makedirs(user)
    with open(os.path.join(data, "conv.txt"), "wb") as f:
        f.write(b"A|n|a|b|x*2\n")
    with open(os.path.join(user, "mine.txt"), "wb") as f:
        f.write(b"A|n|a|b|x*3\n")
    env = {"VELMORA_CALLER_DIR": user}
    r.expect(["--convert", "1", "a", "b"], 0, out="2\n", cwd=data, env=env)
    r.expect(["--convert", "1", "a", "b", "--catalog", "mine.txt"], 0, out="3\n", cwd=data, env=env)
    r.expect(["--check", "mine.txt"], 0, cwd=data, env=env,
             out="mine.txt: 1 line, 1 category, 1 conversion, 0 problems\n")


def case_no_display(r):
    message = "velmora: cannot open a display; use --convert or --check in a terminal\n"
    r.expect([], 1, out="", err=message)
    r.expect(["-style", "fusion"], 1, out="", err=message, env={"DISPLAY": ":99999"})
    r.expect(["-platform", "wayland"], 1, out="", err=message, env={"XDG_RUNTIME_DIR": r.folder})
    with subprocess.Popen([r.binary, "-platform", "offscreen"], cwd=r.folder, env=r.env) as p:
        try:
            check(p.wait(timeout=3) is None, f"-platform offscreen: exit {p.returncode}")
        except subprocess.TimeoutExpired:
            p.kill()


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--catalog", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--case", default="all", choices=["all", *CASES])
    args = parser.parse_args()
    names = list(CASES) if args.case == "all" else [args.case]
    failed = 0
    for name in names:
        with tempfile.TemporaryDirectory(prefix="velmora-cli-") as folder:
            runner = Runner(os.path.abspath(args.binary), args.catalog, args.version, folder)
            try:
                CASES[name](runner)
                print(f"PASS {name}")
            except (Failure, subprocess.TimeoutExpired) as error:
                failed += 1
                print(f"FAIL {name}: {error}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
