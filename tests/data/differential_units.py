#!/usr/bin/env python3
"""Asks Velmora and GNU units the same generated queries: wherever both answer, the numbers must
agree; neither may read a name as another unit; Velmora answers no query that GNU units refuses
for its dimensions, and none that joins units of two of its categories.

The queries ("3/8 cups to ml") join two units of a category by their names in data/units.tsv
(symbols, words in both numbers, the regional names of the region asked, and prefixed names of
the units that take prefixes) with values as people write them; as many again join units of two
categories, which Velmora must refuse. Velmora answers through
convert_queries (velmora --convert "QUERY", the catalog read once), a sample again through the
program itself; its stderr must name the units the table gives the names to. GNU units gets the
value in its own syntax (3|8) and the same names. Each name is first asked of GNU units alone:
one it reads as another unit must be in READ_OTHERWISE, with why Velmora's reading stands, and is
then not compared.

    differential_units.py --tool convert_queries --velmora velmora [--count N] [--seed N]
"""

import argparse
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "scripts"))
from generate_catalog import TABLE, load_table  # noqa: E402
from gnu_units import Session, number  # noqa: E402

TOLERANCE = 1e-9
# The words between the two units: each separator of the query grammar is one more entry.
SEPARATORS = ["to"]
# A value as Velmora reads it and in GNU units' syntax, where "|" divides numbers and binds
# tighter than a unit. Negatives are asked only of units whose negative means something (no
# absolute temperature or reciprocal measure is asked at all).
VALUES = [("1", "1"), ("7", "7"), ("2.5", "2.5"), ("0.125", "0.125"), ("0.001", "0.001"),
          ("123456.789", "123456.789"), ("1e3", "1e3"), ("3/8", "3|8"), ("1/3", "1|3"),
          ("1 1/2", "(1+1|2)"), ("2 3/4", "(2+3|4)"), ("-3", "-3"), ("-0.75", "-0.75"),
          ("-1/4", "-1|4")]
PREFIXED = r"([dcmunpfazyrq]|deci|centi|milli|micro|nano|pico|femto|atto|zepto|yocto|ronto|quecto)"
# Where GNU units reads a name as another unit than the table gives it to, why Velmora's reading
# stands. A name of several words that GNU units reads with other dimensions needs no entry: it
# multiplies words written apart ("us gal" is microseconds times gallons there).
READ_OTHERWISE = {
    "the US survey measures of the labels; GNU units builds these of international feet":
        ["rd", "rod", "rods", "pole", "poles", "perch", "perches", "ch", "chain", "chains",
         "furlong", "furlongs", "survey acre", "survey acres", "survey mi2"],
    "the Gregorian year and its parts, as the labels say; GNU units' year is the tropical one":
        ["mo", "month", "months", "yr", "yrs", "year", "years", "decade", "decades", "century",
         "centuries"],
    "the IAU light year of the Julian year; GNU units' 'light year' is of the tropical year":
        ["light year", "light years"],
    "h is the hour; GNU units' h is the Planck constant":
        ["h", "km/h", "mi/h", "km/h/s", "mi/h/s", "m3/h", "L/h", "l/h", "gal/h", "kcal/h"],
    "the kilocalorie per hour of heating is the International Table one, as the label says; "
    "GNU units makes it of the thermochemical calorie":
        ["kcal/hr", "kilocalorie per hour", "kilocalories per hour"],
    "a revolution per minute is a cycle rate and a radian per second 1/(2 pi) hertz; GNU units "
    "counts a revolution as 2 pi and a radian per second as a hertz":
        ["rpm", "rev/min", "revolution per minute", "revolutions per minute",
         "radian per second", "radians per second", "deg/s", "degree per second",
         "degrees per second"],
    "rad is the radian; GNU units' rad is the absorbed dose":
        ["rad", "rad/s", re.compile(PREFIXED + "rads?")],
    "b is the bit; GNU units' b is the barn, Gb the gilbert and Tb a tablespoon":
        [re.compile(r"([kKMGTPEZYRQ]i?)?b(/s)?")],
    "G is the gauss; GNU units' G is the gravitational constant":
        [re.compile(r"[dcmunpfazyrq]?Gs?")],
    "L is the litre; GNU units' L is the lambert":
        [re.compile(r"[dcmunpfazyrq]L")],
    "the gamma of geomagnetism is the nanotesla; GNU units' gamma is the microgram":
        ["gamma", "gammas"],
    "PS and pk are the metric horsepower; GNU units reads petasiemens and the peck":
        ["PS", "pk"],
    "kt is the knot; GNU units' kt is the kilotonne": ["kt", "kts"],
    "kps is the kilometre per second; GNU units reads kiloponds": ["kps"],
    "kmh and kmph are the kilometre per hour; GNU units reads a kilo-millihenry and a thousand "
    "miles per hour": ["kmh", "kmh/s", "kmph"],
    "the milligal of gravimetry; GNU units' milligal is a thousandth of a gallon":
        ["milligal", "milligals"],
    "mH2O is the metre of water; GNU units' is a thousandth of its H2O": ["mH2O"],
    "TR is the ton of refrigeration; GNU units reads tera times the gas constant": ["TR"],
    "kgm is the kilogram-force metre of torque tables; GNU units reads a kilogram": ["kgm"],
    "Pas and mPas are the pascal second of viscosity tables; GNU units reads pascals":
        ["Pas", "mPas"],
    "Pl is the poiseuille; GNU units' Pl is the petalitre": ["Pl"],
    "fc and fcd are the foot-candle; GNU units reads femto times c and the femtocandela":
        ["fc", "fcd"],
    "ac is the acre; GNU units reads atto times the speed of light": ["ac"],
    "ua is the astronomical unit of the SI brochure; GNU units reads a micro-are": ["ua"],
    "hh is the hand of horse heights; GNU units reads hecto times the Planck constant": ["hh"],
    "a kilo is a kilogram; GNU units' kilo is the number 1000": ["kilo", "kilos"],
    "karat is a spelling of the carat; GNU units' karat is the fineness of gold":
        ["karat", "karats"],
    "the point and pica of desktop publishing, as the labels say; GNU units keeps the printer's, "
    "and reads pts as pints": ["pica", "picas", "pts", "pica point", "pica points"],
    "hg is the hectogram; GNU units reads a column of mercury": ["hg"],
    "Tm is the terametre; GNU units reads its Tim, a 20736th of an hour":
        [re.compile(r"Tm[23²³]?")],
}
SI = [("Q", "quetta", 30), ("R", "ronna", 27), ("Y", "yotta", 24), ("Z", "zetta", 21),
      ("E", "exa", 18), ("P", "peta", 15), ("T", "tera", 12), ("G", "giga", 9), ("M", "mega", 6),
      ("k", "kilo", 3), ("h", "hecto", 2), ("da", "deca", 1), ("d", "deci", -1),
      ("c", "centi", -2), ("m", "milli", -3), ("µ", "micro", -6), ("n", "nano", -9),
      ("p", "pico", -12), ("f", "femto", -15), ("a", "atto", -18), ("z", "zepto", -21),
      ("y", "yocto", -24), ("r", "ronto", -27), ("q", "quecto", -30)]
PREFIXES = {
    "si": [(s, w, f"1e{e}") for s, w, e in SI],
    "si-large": [(s, w, f"1e{e}") for s, w, e in SI if e >= 3],
    "si-small": [(s, w, f"1e{e}") for s, w, e in SI if e < 0],
    "binary": [(s + "i", w, str(1024 ** n)) for n, (s, w) in enumerate(
        zip("KMGTPEZY", ["kibi", "mebi", "gibi", "tebi", "pebi", "exbi", "zebi", "yobi"]), 1)],
}
def read_otherwise(text):
    return next((reason for reason, names in READ_OTHERWISE.items() for name in names
                 if (name == text if isinstance(name, str) else name.fullmatch(text))), None)


class Name:
    def __init__(self, text, unit, factor=None, reference=None):
        self.text, self.unit, self.factor = text, unit, factor
        self.reference = reference or f"({unit.gnu_units})"


def names_of(categories, region):
    """The names of the units compared, as typed in region: plain and regional names, and
    prefixed ones that are not names already (prefix words before words of three letters or
    more, symbols before three letters or fewer)."""
    tagged = [(unit, *(name.rsplit("@", 1) if "@" in name else (name, None)))
              for _, units in categories for unit in units for name in unit.names]
    regional = {text for _, text, tags in tagged if tags and region in tags.split(",")}
    names = [Name(text, unit) for unit, text, tags in tagged
             if (region in tags.split(",") if tags else text not in regional)]
    taken = {name.text for name in names}
    for _, units in categories:
        for unit in units:
            kinds = (unit.prefixes or ([], []))[0]
            power = 3 if "cubed" in kinds else 2 if "squared" in kinds else 1
            for kind in (kind for kind in kinds if kind in PREFIXES):
                for symbol, word, factor in PREFIXES[kind]:
                    factor = repr(float(factor) ** power) if power > 1 else factor
                    for base in unit.prefixes[1]:
                        words = len(base) >= 3 and base.replace(" ", "").isalpha() and \
                            base.islower()
                        for prefix in ([word] if words else []) + ([symbol] if len(base) <= 3
                                                                      else []):
                            if prefix + base not in taken:
                                names.append(Name(prefix + base, unit, float(factor),
                                                  f"({factor} ({unit.gnu_units}))"))
    # Absolute temperatures are functions in GNU units (tempC(x)), and reciprocal measures are
    # converted only marked as such: only units of a scale in categories without offsets.
    plain = {id(u) for _, units in categories if all(u.relation != "offset" for u in units)
             for u in units if u.relation == "scale"}
    return [name for name in names if id(name.unit) in plain]


def same(ours, theirs):
    return math.isfinite(ours) and math.isfinite(theirs) and \
        abs(ours - theirs) <= TOLERANCE * max(abs(ours), abs(theirs))


def audit(names, units):
    """True where GNU units reads a name as the table's unit, None where it cannot read it, and
    else what it reads."""
    known = units.readable([f"1 ({n.text})" for n in names] + [n.reference for n in names])
    asked = [n for n in names if f"1 ({n.text})" in known and n.reference in known]
    readings = {n.text: None for n in names}
    for name, answer in zip(asked, units.ask([(f"1 ({n.text})", n.reference) for n in asked])):
        one = number(answer)
        readings[name.text] = True if one is not None and same(one, 1.0) else \
            answer.replace("\n", " ")
    return readings


def generate(names, count, seed, across=False):
    """count queries of two units of one category, or across two categories."""
    rng = random.Random(seed)
    by_category = {}
    for name in names:
        by_category.setdefault(name.unit.category, {}).setdefault(id(name.unit), []).append(name)
    groups = [list(units.values()) for units in by_category.values() if len(units) >= 2]
    queries = []
    for _ in range(count):
        if across:
            first, second = rng.sample(groups, 2)
            source, target = rng.choice(first), rng.choice(second)
        else:
            source, target = rng.sample(rng.choice(groups), 2)
        have, want = rng.choice(source), rng.choice(target)
        value, units_value = rng.choice(VALUES)
        queries.append((f"{value} {have.text} {rng.choice(SEPARATORS)} {want.text}", value,
                        have, want, f"{units_value} ({have.text})", f"({want.text})"))
    return queries


def velmora(options, folder, texts, environment):
    """(status, stdout, stderr) of each query: of convert_queries in two processes, else of the
    program. With the tool, a sample is asked of the program too; the second list holds those
    it answers otherwise."""
    def tool(part):
        result = subprocess.run([options.tool, str(Path(folder) / "conv.txt")],
                                input="\n".join(part) + "\n", capture_output=True, text=True,
                                env=environment, check=True)
        return [(int(s), o, e) for s, o, e in
                (record.split("\x1f") for record in result.stdout.split("\x1e")[:-1])]

    def program(text):
        result = subprocess.run([options.velmora, "--convert", text], cwd=folder,
                                capture_output=True, text=True, env=environment, timeout=60)
        return result.returncode, result.stdout, result.stderr

    with ThreadPoolExecutor(max_workers=2) as pool:
        if not options.tool:
            return list(pool.map(program, texts)), []
        half = (len(texts) + 1) // 2
        answers = [a for part in pool.map(tool, [texts[:half], texts[half:]]) for a in part]
        sample = range(0, len(texts), max(1, len(texts) // options.sample))
        again = list(pool.map(program, [texts[i] for i in sample]))
    if len(answers) != len(texts):
        sys.exit(f"convert_queries answered {len(answers)} of {len(texts)} queries")
    return answers, [f"{texts[i]!r}: {a} by the program, {answers[i]} by convert_queries"
                     for i, a in zip(sample, again) if a != answers[i]]


def reads_as(shown, name, by_label):
    """Whether the unit Velmora names is the one name means: its label; for a prefixed name the
    unprefixed label at the end ("Nanoliters (1e-9 Liters)"), or a unit of that size."""
    if name.factor is None:
        return shown.lower() == name.unit.label.lower()
    other = by_label.get(shown.lower())
    return shown.endswith(f" {name.unit.label})") or (
        other is not None and other.category == name.unit.category and
        same(float(other.factor.rational), float(name.unit.factor.rational) * name.factor))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", help="convert_queries; without it, the program answers all")
    parser.add_argument("--velmora", required=True)
    parser.add_argument("--catalog", type=Path, default=ROOT / "data" / "conv.txt")
    parser.add_argument("--table", type=Path, default=TABLE)
    parser.add_argument("--units", default="units")
    parser.add_argument("--count", type=int, default=2400)
    parser.add_argument("--seed", type=int, default=30)
    parser.add_argument("--sample", type=int, default=40)
    parser.add_argument("--regions", default="US,GB")
    options = parser.parse_args()
    options.velmora = os.path.abspath(options.velmora)
    started = time.monotonic()
    units = shutil.which(options.units)
    if not units:
        sys.exit("GNU units (Debian package units) is missing; scripts/deps.sh installs it")
    categories = load_table(options.table)
    by_label = {unit.label.lower(): unit for _, members in categories for unit in members}
    faults = {"disagree": [], "misread": [], "refused": [],
              "answered where GNU units refuses": [], "refused where GNU units answers": [],
              "answered across two categories": [],
              "GNU units reads otherwise": [], "program differs": []}
    totals = dict.fromkeys(["queries", "Velmora", "GNU units", "compared", "not compared",
                            "across", "across refused", "across GNU units"], 0)
    regions = options.regions.split(",")
    with tempfile.TemporaryDirectory(prefix="velmora-differential-") as folder:
        shutil.copy(options.catalog, Path(folder) / "conv.txt")
        shutil.copy(options.catalog.parent / "names.txt", folder)
        for number_of_region, region in enumerate(regions):
            session = Session(units, region)
            names = names_of(categories, region)
            readings = audit(names, session)
            faults["GNU units reads otherwise"] += [
                f"[{region}] {n.text!r} ({n.unit.label}): {readings[n.text]!r}" for n in names
                if readings[n.text] not in (True, None) and read_otherwise(n.text) is None and
                not (" " in n.text and readings[n.text].startswith("conformability error"))]
            # The first region gets twice the queries of each other.
            count = options.count * (2 if number_of_region == 0 else 1) // (len(regions) + 1)
            queries = generate(names, count, options.seed + number_of_region)
            queries += generate(names, count, options.seed + number_of_region, across=True)
            answers, differs = velmora(options, folder, [q[0] for q in queries],
                                       dict(os.environ, LC_ALL=f"en_{region}.UTF-8"))
            faults["program differs"] += differs
            known = session.readable([q[4] for q in queries] + [q[5] for q in queries])
            asked = [q for q in queries if q[4] in known and q[5] in known]
            theirs = dict(zip(map(id, asked), session.ask([(q[4], q[5]) for q in asked])))
            for query, (status, out, err) in zip(queries, answers):
                text, value, have, want = query[:4]
                ours = number(out.strip()) if status == 0 else None
                answer = theirs.get(id(query))
                reference = number(answer)
                read_as_ours = readings[have.text] is True and readings[want.text] is True
                if have.unit.category != want.unit.category:
                    # Units of two categories: never a number, whatever GNU units says of their
                    # dimensions (a gray and a sievert share one).
                    totals["across"] += 1
                    totals["across refused"] += ours is None
                    totals["across GNU units"] += reference is not None
                    if ours is not None:
                        faults["answered across two categories"].append(
                            f"[{region}] {text!r}: {out.strip()}, {err.strip()!r}")
                    continue
                totals["queries"] += 1
                totals["Velmora"] += ours is not None
                totals["GNU units"] += reference is not None
                if ours is None:
                    # Every query joins two units of a category by names the table gives them.
                    faults["refused where GNU units answers" if reference is not None
                           else "refused"].append(f"[{region}] {text!r}: {err.strip()}")
                    continue
                line = next((line for line in err.splitlines()
                             if line.startswith(f"velmora: {value} ") and " → " in line), None)
                # No note: the names typed are the labels.
                shown = line[len(f"velmora: {value} "):].split(" → ", 1) if line else \
                    (have.text, want.text)
                faults["misread"] += [f"[{region}] {text!r}: {n.text!r} is {n.unit.label}, "
                                      f"read as {s!r}" for n, s in zip((have, want), shown)
                                      if not reads_as(s, n, by_label)]
                if not read_as_ours:
                    totals["not compared"] += 1
                elif reference is None:
                    if answer and "conformability" in answer:
                        faults["answered where GNU units refuses"].append(
                            f"[{region}] {text!r}: Velmora {ours!r}, GNU units {answer!r}")
                    else:
                        totals["not compared"] += 1
                elif same(ours, reference):
                    totals["compared"] += 1
                else:
                    totals["compared"] += 1
                    faults["disagree"].append(f"[{region}] {text!r}: Velmora {ours!r}, GNU "
                                              f"units {reference!r}")
    print(f"Velmora and GNU units on {totals['queries']} queries within a category (regions "
          f"{options.regions}, seed {options.seed}): answered by Velmora {totals['Velmora']}, by "
          f"GNU units {totals['GNU units']}, by both and compared {totals['compared']}, not "
          f"compared for a name GNU units cannot read or reads otherwise "
          f"{totals['not compared']}; "
          f"{totals['across']} across two categories: refused by Velmora "
          f"{totals['across refused']}, answered by GNU units {totals['across GNU units']} (units "
          f"of one dimension in two categories); {time.monotonic() - started:.1f} s")
    for kind, items in faults.items():
        print(f"  {kind}: {len(items)}" + "".join(f"\n    {item}" for item in items[:12]))
    failed = any(faults.values())
    print("FAILED" if failed else "OK: every number both give agrees, no name is misread, and "
          "nothing is answered that GNU units refuses or that joins two categories")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
