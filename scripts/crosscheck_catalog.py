#!/usr/bin/env python3
"""Cross-checks every line of the delivered catalog against GNU units.

Each conversion is computed through the program itself (the catalog_eval tool, which loads the
file with the program's loader and evaluates with its formula engine) at several values, and the
same conversion is asked of GNU units, an independent implementation with its own definitions.
Every result must agree to a relative error of 1e-9 (between temperature scales, where a result
can be near zero, an absolute error of 1e-9 is also accepted).

    crosscheck_catalog.py --tool build/data/tests/data/catalog_eval

The unit table gives each unit's name in GNU units and how it relates to its category's base:
scale units are asked as "<value> (<name>)", offset scales (temperatures) through GNU units'
functions, "tempF(<value>)", and reciprocal measures (fuel consumption) as "1/(<value> (<name>))".
"""

import argparse
import math
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from generate_catalog import OUTPUT, TABLE, TableError, load_table  # noqa: E402
from gnu_units import Session, number  # noqa: E402

DEFAULT_VALUES = ["1", "0.25", "37.5", "1000", "123456.789", "-12.5"]
TOLERANCE = 1e-9


@dataclass
class Line:
    category_id: int
    conversion_id: int
    category: str
    source: object
    target: object
    formula: str
    ours: dict
    checks: list = field(default_factory=list)  # (value text, have, want)


def fail(message):
    print(f"crosscheck_catalog: {message}", file=sys.stderr)
    sys.exit(2)


def have_expression(unit, value):
    if unit.relation == "offset":
        return f"{unit.gnu_units}({value})"
    if unit.relation == "inverse":
        return f"1/({value} ({unit.gnu_units}))"
    return f"{value} ({unit.gnu_units})"


def query(source, target, value):
    have = have_expression(source, value)
    # Into a reciprocal measure: the reciprocal of the quantity, expressed in that unit.
    if target.relation == "inverse":
        have = f"1/({have})"
    return have, target.gnu_units


def skip_reason(units, source, target, value):
    """Why a value is not checked for a line from source to target, or None."""
    if value >= 0:
        return None
    # A reciprocal measure (a consumption, a pace) of a negative value means nothing; the other
    # lines of its category (speeds, distances per volume) are checked below zero as well.
    if "inverse" in (source.relation, target.relation):
        return "negative values of reciprocal measures"
    if any(unit.relation == "offset" for unit in units):
        base = (value + float(source.offset)) * float(source.factor.rational)
        if base < 0:
            return "values below absolute zero"
    return None


def reference_values(units, lines):
    """GNU units' answer for every check of every line, (number, what it said otherwise)."""
    checks = [(id(line), text, have, want) for line in lines for text, have, want in line.checks]
    known = units.readable([have for *_, have, _ in checks] + [want for *_, want in checks])
    asked = [check for check in checks if check[2] in known and check[3] in known]
    answers = {(line, text): (None, f"it cannot read {have if have not in known else want!r}")
               for line, text, have, want in checks}
    for (line, text, _, _), answer in zip(asked, units.ask([check[2:] for check in asked])):
        answers[(line, text)] = (number(answer), answer)
    return answers


def read_engine_results(tool, catalog, values):
    result = subprocess.run([tool, str(catalog), *values], capture_output=True, text=True,
                            check=False)
    if result.returncode != 0:
        fail(f"{tool} failed with exit status {result.returncode}: {result.stderr.strip()}")
    rows = []
    for number, text in enumerate(result.stdout.splitlines(), start=1):
        fields = text.split("\t")
        if len(fields) != 6 + len(values):
            fail(f"{tool} output line {number} has {len(fields)} fields: {text!r}")
        rows.append(fields)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", required=True, help="the catalog_eval executable")
    parser.add_argument("--catalog", type=Path, default=OUTPUT, help="default: %(default)s")
    parser.add_argument("--table", type=Path, default=TABLE, help="default: %(default)s")
    parser.add_argument("--units", default="units", help="GNU units executable")
    parser.add_argument("--values", nargs="+", default=DEFAULT_VALUES,
                        help="input values (default: %(default)s)")
    options = parser.parse_args()
    started = time.monotonic()

    units_executable = shutil.which(options.units)
    if units_executable is None:
        fail(f"GNU units ('{options.units}', Debian package 'units') is not installed; "
             "scripts/deps.sh installs it. The cross-check cannot run without its reference.")
    version = subprocess.run([units_executable, "--version", "--terse"], capture_output=True,
                             text=True, check=False).stdout.strip()
    try:
        values = [float(value) for value in options.values]
    except ValueError as error:
        fail(f"bad value: {error}")
    try:
        categories = load_table(options.table)
    except (TableError, OSError) as error:
        fail(str(error))

    rows = read_engine_results(options.tool, options.catalog, options.values)
    failures = []

    # The file must hold, for every category of the table and in its order, every ordered pair of
    # distinct units: otherwise some From and To choice would be missing in the program.
    loaded = {}
    for row in rows:
        loaded.setdefault(row[2], []).append(row)
    loaded_names = list(loaded)
    table_names = [name for name, _ in categories]
    if loaded_names != table_names:
        failures.append(f"categories loaded {loaded_names}, the table has {table_names}")
    lines = []
    skipped = {}
    for name, units in categories:
        by_label = {unit.label: unit for unit in units}
        expected = {(a.label, b.label) for a in units for b in units if a is not b}
        found = [(row[3], row[4]) for row in loaded.get(name, [])]
        missing = expected - set(found)
        unexpected = [pair for pair in found if pair not in expected]
        duplicates = len(found) - len(set(found))
        for pair in sorted(missing):
            failures.append(f"{name}: no line from {pair[0]!r} to {pair[1]!r}")
        for pair in unexpected:
            failures.append(f"{name}: line from {pair[0]!r} to {pair[1]!r} is not in the table")
        if duplicates:
            failures.append(f"{name}: {duplicates} duplicate lines")
        for row in loaded.get(name, []):
            if (row[3], row[4]) not in expected:
                continue
            source, target = by_label[row[3]], by_label[row[4]]
            ours = {}
            for text, result in zip(options.values, row[6:]):
                try:
                    ours[text] = float(result)
                except ValueError:
                    ours[text] = math.nan
            line = Line(int(row[0]), int(row[1]), name, source, target, row[5], ours)
            for text, value in zip(options.values, values):
                reason = skip_reason(units, source, target, value)
                if reason:
                    skipped[reason] = skipped.get(reason, 0) + 1
                    continue
                have, want = query(source, target, text)
                line.checks.append((text, have, want))
            lines.append(line)

    answers = reference_values(Session(units_executable), lines)

    checked_values = 0
    largest = (0.0, None)
    for line in lines:
        where = f"{line.category}: {line.source.label} to {line.target.label} [{line.formula}]"
        for text, have, want in line.checks:
            checked_values += 1
            ours = line.ours[text]
            reference, message = answers[(id(line), text)]
            if reference is None:
                failures.append(f"{where} at {text}: GNU units gives no number for "
                                f"'{have}' -> '{want}': {message}")
                continue
            error = abs(ours - reference)
            relative = error / abs(reference) if reference else (0.0 if error == 0 else math.inf)
            if not math.isfinite(ours) or not math.isfinite(reference):
                relative = math.inf
            if relative > largest[0] or (largest[1] is None and math.isfinite(relative)):
                largest = (relative, f"{where} at {text}: ours {ours!r}, GNU units {reference!r}")
            # Only an offset scale can bring a result near zero by cancellation (32 F is 0 C),
            # where a relative error means nothing; everywhere else the bound stays relative, so
            # that tiny results (electronvolts in kilowatt-hours) are checked as strictly.
            offset = "offset" in (line.source.relation, line.target.relation)
            if not (error <= TOLERANCE * abs(reference) or (offset and error <= TOLERANCE)):
                failures.append(f"{where} at {text}: ours {ours!r}, GNU units {reference!r} "
                                f"('{have}' -> '{want}'), relative error {relative:.3g}")

    elapsed = time.monotonic() - started
    print(f"Cross-check of {options.catalog} (through {Path(options.tool).name}) "
          f"against {version or 'GNU units'}")
    print(f"  values: {' '.join(options.values)}")
    print(f"  categories: {len(categories)}, units: {sum(len(u) for _, u in categories)}")
    print(f"  lines checked: {len(lines)} of {len(rows)} loaded")
    print(f"  values checked: {checked_values}")
    for reason, count in sorted(skipped.items()):
        print(f"  not checked: {count} {reason}")
    print(f"  largest relative error: {largest[0]:.3g}" +
          (f" ({largest[1]})" if largest[1] else ""))
    print(f"  time: {elapsed:.1f} s")
    if not lines:
        failures.append("no line was checked")
    if failures:
        print(f"FAILED: {len(failures)} failures")
        for failure in failures:
            print(f"  {failure}")
        return 1
    print("OK: every value agrees within a relative error of 1e-9")
    return 0


if __name__ == "__main__":
    sys.exit(main())
