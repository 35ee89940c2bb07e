#!/usr/bin/env python3
"""Generates the delivered conversion catalog data/conv.txt and the unit names data/names.txt from
the unit table data/units.tsv.

Every category gets one line per ordered pair of distinct units, so that any From and To choice
exists. Formulas are derived with exact rational arithmetic from the table's definitions and
written in the program's formula language, which has no power operator, binds "*" and "/" equally
from left to right, and reads only plain decimal operands (an exponent may not carry a sign).
names.txt gets one line per unit, its label and the names people type for it.

    generate_catalog.py            rewrite data/conv.txt and data/names.txt
    generate_catalog.py --check    compare the committed files with a fresh generation
"""

import argparse
import math
import re
import sys
from dataclasses import dataclass
from fractions import Fraction
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TABLE = ROOT / "data" / "units.tsv"
OUTPUT = ROOT / "data" / "conv.txt"
NAMES_OUTPUT = ROOT / "data" / "names.txt"

COLUMNS = ["category", "unit", "relation", "factor", "offset", "gnu_units", "source", "names",
           "names_note", "counterpart", "prefixes"]
PREFIX_KINDS = ("si", "si-small", "si-large", "binary")
# The power of the prefix's factor for the names of a square or cubic unit (dm3: 0.1 cubed).
PREFIX_POWERS = ("squared", "cubed")
RELATIONS = ("scale", "offset", "inverse")

# pi has no exact decimal; 21 significant digits are far beyond what a double can hold, so the
# engine reads it as the correctly rounded double.
PI_TEXT = "3.14159265358979323846"

# The program reads a line into 256 bytes: 255 characters with the line end, so 253 of text.
MAX_LINE_TEXT = 253

# Each formula is evaluated the way the engine does it and must stay this close to the exact value.
SELF_CHECK_VALUES = (1.0, 0.25, 37.5, 1000.0, 123456.789, -12.5)
SELF_CHECK_TOLERANCE = 1e-12

# Integers longer than this are written with an exponent (1e12) when that is shorter: long runs of
# zeros are easy to miscount.
PLAIN_INTEGER_DIGITS = 7


class TableError(Exception):
    pass


@dataclass(frozen=True)
class Quantity:
    """A positive factor: an exact rational times a power of pi."""

    rational: Fraction
    pi_power: int = 0

    def __truediv__(self, other):
        return Quantity(self.rational / other.rational, self.pi_power - other.pi_power)


@dataclass
class Unit:
    line: int
    category: str
    label: str
    relation: str
    factor: Quantity
    offset: Fraction
    gnu_units: str
    source: str
    names: list
    names_note: str
    counterpart: str
    # (kinds, names) of a unit whose names take prefixes, else None.
    prefixes: tuple = None


# ---------------------------------------------------------------------------------------------
# Reading the table

_DECIMAL = re.compile(r"\d+(?:\.\d*)?(?:[eE][+-]?\d+)?|\.\d+(?:[eE][+-]?\d+)?")
_LABEL_FORBIDDEN = re.compile(r"[|\t\r\n]")
# American spellings in labels, and the British ones a unit's names must hold as well.
_BRITISH = (("meter", "metre"), ("liter", "litre"))


# ---------------------------------------------------------------------------------------------
# Singular and plural names
#
# A word name gets the other number of its main word beside it: "mile" gives "miles", "cubic
# feet" "cubic foot", "pound-force" "pounds-force", "kilometre per hour" "kilometres per hour",
# "inch of water" "inches of water". The main word is the one before the first "per" or "of",
# else the last one ("force" names the one before it). Only the nouns below are counted, so no
# symbol ever gets an "s" (ft, km, lb, oz; the plural symbols people write, lbs, yds, hrs, are in
# the table). A lower-case word of five letters or more that is neither one of these nouns nor
# one of the words that have no plural stops the generator, so that a new unit's noun is not
# left without its plural.

# Prefixes that the nouns of PREFIXED_NOUNS take: "kilo" + "metre", "kibi" + "byte".
_PREFIXES = ("exa", "peta", "tera", "giga", "mega", "kilo", "hecto", "deci", "centi", "milli",
             "micro", "nano", "pico", "exbi", "pebi", "tebi", "gibi", "mebi", "kibi")
PREFIXED_NOUNS = ("metre", "meter", "litre", "liter", "gram", "gramme", "second", "joule", "watt",
                  "pascal", "newton", "coulomb", "bit", "byte", "bar", "radian", "calorie",
                  "tesla", "becquerel", "curie", "gray", "sievert", "rem")
NOUNS = (
    "inch", "foot", "yard", "mile", "micron", "angstrom", "ångström", "thousandth", "mil", "point",
    "pica", "hand", "fathom", "rod", "pole", "perch", "chain", "furlong", "league", "klick",
    "unit", "difference", "year", "lightyear", "lightsecond", "parsec", "acre", "are", "hectare", "gallon",
    "quart", "pint", "cup", "ounce", "tablespoon", "teaspoon", "bushel", "barrel", "cord", "pound",
    "grain", "stone", "ton", "tonne", "kilo", "carat", "karat", "hundredweight", "pennyweight",
    "slug", "minute", "hour", "day", "week", "fortnight", "month", "decade", "century", "knot",
    "galileo", "milligal", "kelvin", "atmosphere", "volt", "electronvolt", "therm", "erg", "dyne",
    "poundal", "kilopond", "kip", "degree", "gradian", "grade", "gon", "arcminute", "arcsecond",
    "turn", "revolution", "cycle", "nibble", "nybble", "nyble", "octet", "cumec", "cusec", "charge",
    "faraday", "poiseuille", "candle", "footcandle", "phot", "gamma", "rutherford",
    "disintegration",
)
IRREGULAR_PLURALS = {"foot": "feet"}
# Words of five letters or more that are not counted: symbols written in letters, words whose
# plural is the word itself (hertz, gauss, horsepower), adjectives (celsius) and words that are
# not a name's unit ("speed" of "light speed").
NOT_COUNTED = {
    "annum", "arcdeg", "arcmin", "arcsec", "angle", "celsius", "centigrade", "fahrenheit",
    "rankine", "reaumur", "réaumur", "horsepower", "poise", "centipoise", "lightspeed", "speed",
    "survey", "kbyte", "kgfcm",
}
# Words whose plural is the word itself, also with a prefix (kilohertz, milligauss).
_INVARIANT_PREFIXED = ("hertz", "gauss")


def _regular_plural(noun):
    if noun.endswith(("s", "x", "z", "ch", "sh")):
        return noun + "es"
    if noun.endswith("y") and noun[-2:-1] not in ("a", "e", "i", "o", "u"):
        return noun[:-1] + "ies"
    return noun + "s"


def _number_forms():
    """Each counted noun and its plural, both ways: {"mile": "miles", "miles": "mile", ...}."""
    pairs = []
    for noun in NOUNS:
        pairs.append((noun, IRREGULAR_PLURALS.get(noun) or _regular_plural(noun)))
    for noun in PREFIXED_NOUNS:
        plural = IRREGULAR_PLURALS.get(noun) or _regular_plural(noun)
        pairs.append((noun, plural))
        pairs.extend((prefix + noun, prefix + plural) for prefix in _PREFIXES)
    forms = {}
    for singular, plural in pairs:
        forms[singular] = plural
        forms[plural] = singular
    return forms


_NUMBER_FORMS = _number_forms()
_NOT_COUNTED = NOT_COUNTED | {prefix + word for word in _INVARIANT_PREFIXED
                              for prefix in ("",) + _PREFIXES}
_COUNTABLE_WORD = re.compile(r"[^\W\d_]{5,}")


def other_number(name):
    """The name with its main word in the other number ("miles" for "mile"), None for a name
    whose main word is not a counted noun; raises ValueError for a word neither counted nor
    said to have no plural.

    >>> [other_number(n) for n in ("cubic foot", "pounds-force", "metric ton force", "kelvins")]
    ['cubic feet', 'pound-force', 'metric tons force', 'kelvin']
    >>> [other_number(n) for n in ("inch of water", "kilometre per hour", "foot-pound per second")]
    ['inches of water', 'kilometres per hour', 'foot-pounds per second']
    >>> [other_number(n) for n in ("ft", "lbs", "365 days", "kilohertz", "century")]
    [None, None, None, None, 'centuries']
    >>> other_number("furlongz")  # doctest: +ELLIPSIS
    Traceback (most recent call last):
    ValueError: say in generate_catalog.py whether 'furlongz' of the name 'furlongz' has a ...
    """
    words = name.split(" ")
    head = len(words) - 1
    for index, word in enumerate(words[1:], start=1):
        if word in ("per", "of"):
            head = index - 1
            break
    if head == len(words) - 1 and head > 0 and words[head] == "force":
        head -= 1
    # "365 days" is a number of days, not a plural to make singular.
    if any(any(c.isdigit() for c in word) for word in words[:head]):
        return None
    parts = words[head].split("-")
    part = 0 if len(parts) > 1 and parts[-1] == "force" else len(parts) - 1
    other = _NUMBER_FORMS.get(parts[part])
    if other is None:
        if _COUNTABLE_WORD.fullmatch(parts[part]) and parts[part] == parts[part].lower() and \
                parts[part] not in _NOT_COUNTED:
            raise ValueError(f"say in {Path(__file__).name} whether {parts[part]!r} of the "
                             f"name {name!r} has a plural (NOUNS) or not (NOT_COUNTED)")
        return None
    parts[part] = other
    words[head] = "-".join(parts)
    return " ".join(words)


# A regional name: the name, "@" and the ISO 3166 codes of the regions where it means this unit.
_REGIONAL = re.compile(r"([^@]+)@([A-Z]{2}(?:,[A-Z]{2})*)")


def split_regions(name):
    """(name, regions) of a regional name ("gallon@GB,IE"), (name, ()) of another."""
    match = _REGIONAL.fullmatch(name)
    return (match[1], tuple(match[2].split(","))) if match else (name, ())


def with_other_numbers(names):
    """The names, each word name followed by its other number when the unit lacks it; a regional
    name's other number is regional too.

    >>> with_other_numbers(["gal", "gallon@GB,IE", "cubic foot"])
    ['gal', 'gallon@GB,IE', 'gallons@GB,IE', 'cubic foot', 'cubic feet']
    """
    result = []
    for name in names:
        if name not in result:
            result.append(name)
        text, regions = split_regions(name)
        other = other_number(text)
        if other is not None and regions:
            other += "@" + ",".join(regions)
        if other is not None and other not in names and other not in result:
            result.append(other)
    return result


def parse_prefixes(text, names):
    """(kinds, names) of a prefixes column, "si-large binary: B|byte": the names that take the
    prefixes, each word with its plural; None when empty."""
    if not text:
        return None
    kinds, colon, bases = text.partition(":")
    kinds = kinds.split()
    if not colon or not any(kind in PREFIX_KINDS for kind in kinds) or \
            any(kind not in PREFIX_KINDS + PREFIX_POWERS for kind in kinds):
        raise ValueError(f"prefixes {text!r}: kinds of {PREFIX_KINDS}, a colon and names")
    bases = [base.strip() for base in bases.split("|")]
    for base in bases:
        if base not in names or "," in base:
            raise ValueError(f"prefixes {text!r}: {base!r} is no name of the unit")
    return kinds, with_other_numbers(bases)


def parse_factor(text, allow_pi=True):
    """Parses a product and quotient of exact decimals (and pi), evaluated from left to right."""
    if not text:
        raise ValueError("empty factor")
    terms = re.split(r"([*/])", text)
    value = Quantity(Fraction(1))
    operator = "*"
    for index, term in enumerate(terms):
        if index % 2 == 1:
            operator = term
            continue
        if term == "pi" and allow_pi:
            factor = Quantity(Fraction(1), 1)
        elif _DECIMAL.fullmatch(term):
            factor = Quantity(Fraction(term))
        else:
            raise ValueError(f"{term!r} is neither an exact decimal nor pi")
        if factor.rational == 0:
            raise ValueError("a factor of zero")
        if operator == "*":
            value = Quantity(value.rational * factor.rational, value.pi_power + factor.pi_power)
        else:
            value = value / factor
    return value


def load_table(path=TABLE):
    """Returns the categories in table order, each as (name, [Unit, ...])."""
    text = Path(path).read_text(encoding="utf-8")
    rows = text.splitlines()
    if not rows or rows[0].split("\t") != COLUMNS:
        raise TableError(f"{path}: the first line must be the header {' '.join(COLUMNS)}")
    categories = {}
    current = None
    for number, row in enumerate(rows[1:], start=2):
        where = f"{path}:{number}"
        if not row.strip():
            continue
        fields = row.split("\t")
        if len(fields) != len(COLUMNS):
            raise TableError(f"{where}: {len(fields)} columns, expected {len(COLUMNS)}")
        (category, label, relation, factor_text, offset_text, gnu_units, source, names_text,
         names_note, counterpart, prefixes_text) = fields
        for name, value in (("category", category), ("unit", label), ("gnu_units", gnu_units),
                            ("source", source)):
            if not value or value != value.strip() or _LABEL_FORBIDDEN.search(value):
                raise TableError(f"{where}: bad {name} {value!r}")
        if not (category + label).isascii():
            raise TableError(f"{where}: the catalog is ASCII; {category!r} {label!r} is not")
        names = names_text.split("|")
        for name in names:
            if not name or name != name.strip() or _LABEL_FORBIDDEN.search(name) or \
                    not any(c.isalnum() for c in name) or \
                    ("@" in name and not _REGIONAL.fullmatch(name)):
                raise TableError(f"{where}: bad name {name!r} in {names_text!r}")
        try:
            names = with_other_numbers(names)
        except ValueError as error:
            raise TableError(f"{where}: {error}") from None
        for american, british in _BRITISH:
            if american in label.lower() and not any(british in name for name in names):
                raise TableError(f"{where}: {label!r} needs its British spelling ({british}) "
                                 f"among its names")
        if relation not in RELATIONS:
            raise TableError(f"{where}: relation {relation!r} is not one of {RELATIONS}")
        try:
            factor = parse_factor(factor_text, allow_pi=(relation == "scale"))
            if relation == "offset":
                offset = parse_factor(offset_text, allow_pi=False).rational if offset_text else None
                if offset is None:
                    raise ValueError("an offset unit needs an offset")
            elif offset_text:
                raise ValueError("only an offset unit has an offset")
            else:
                offset = Fraction(0)
        except ValueError as error:
            raise TableError(f"{where}: {error}") from None
        if factor.rational < 0:
            raise TableError(f"{where}: negative factor")
        try:
            prefixes = parse_prefixes(prefixes_text, names)
        except ValueError as error:
            raise TableError(f"{where}: {error}") from None
        # A prefix multiplies: an offset or a reciprocal needs lines of its own.
        if prefixes and relation != "scale":
            raise TableError(f"{where}: only a scale unit takes prefixes")

        # A category's rows stay together so that the table reads in the catalog's order.
        if category != current:
            if category in categories:
                raise TableError(f"{where}: rows of category {category!r} are not together")
            categories[category] = []
            current = category
        units = categories[category]
        if any(unit.label == label for unit in units):
            raise TableError(f"{where}: unit {label!r} appears twice in {category!r}")
        units.append(Unit(number, category, label, relation, factor, offset, gnu_units, source,
                          names, names_note, counterpart, prefixes))

    # Within a category each name belongs to one unit, in every region: a symbol two units share
    # goes to the one most people mean, and the table says so in names_note; a regional name
    # takes its name from the others there. Units of two categories may share a name ("ft-lb" of
    # energy and of torque): the other side of a query says which is meant.
    all_units = [unit for units in categories.values() for unit in units]
    regions = {region for unit in all_units for name in unit.names
               for region in split_regions(name)[1]}
    for region in [None, *sorted(regions)]:
        regional = {split_regions(name)[0] for unit in all_units for name in unit.names
                    if region in split_regions(name)[1]}
        owners = {}
        for unit in all_units:
            for name in unit.names:
                text, tags = split_regions(name)
                if (region in tags) if tags else (text not in regional):
                    if owners.setdefault((unit.category, text), unit.label) != unit.label:
                        raise TableError(f"{path}:{unit.line}: the name {text!r} is given to "
                                         f"{owners[(unit.category, text)]!r} already"
                                         + (f" in region {region}" if region else ""))
    for name, units in categories.items():
        labels = {unit.label for unit in units}
        for unit in units:
            if unit.counterpart and (unit.counterpart == unit.label or
                                     unit.counterpart not in labels):
                raise TableError(f"{path}:{unit.line}: the counterpart {unit.counterpart!r} is "
                                 f"no other unit of {name!r}")
        relations = {unit.relation for unit in units}
        if len(units) < 2:
            raise TableError(f"{path}: category {name!r} needs at least two units")
        if "offset" in relations and "inverse" in relations:
            raise TableError(f"{path}: category {name!r} mixes offset and inverse units")
    return list(categories.items())


# ---------------------------------------------------------------------------------------------
# Writing numbers in the formula language


def integer_text(value):
    plain = str(value)
    if len(plain) <= PLAIN_INTEGER_DIGITS:
        return plain
    mantissa = plain.rstrip("0")
    exponent = len(plain) - len(mantissa)
    short = f"{mantissa}e{exponent}"
    return short if len(short) < len(plain) else plain


def decimal_text(value):
    """The exact decimal of a positive rational, or None when it does not terminate."""
    denominator = value.denominator
    twos = fives = 0
    while denominator % 2 == 0:
        denominator //= 2
        twos += 1
    while denominator % 5 == 0:
        denominator //= 5
        fives += 1
    if denominator != 1:
        return None
    if value.denominator == 1:
        return integer_text(value.numerator)
    places = max(twos, fives)
    digits = str(value.numerator * 10**places // value.denominator).rjust(places + 1, "0")
    return f"{digits[:-places]}.{digits[-places:]}"


def shortest(candidates):
    """The shortest text; on a tie the earlier candidate, so exact decimals win over ratios."""
    return min((text for text in candidates if text is not None), key=len)


def constant_text(value):
    """A positive rational as a stand-alone operand or a quotient of two operands."""
    ratio = integer_text(value.numerator)
    if value.denominator != 1:
        ratio += "/" + integer_text(value.denominator)
    return shortest([decimal_text(value), ratio])


def multiply_text(value):
    """What follows an operand to multiply it by a positive rational ("" for one)."""
    if value == 1:
        return ""
    decimal = decimal_text(value)
    candidates = ["*" + decimal if decimal is not None else None]
    # Dividing by the defining constant reads best: x/0.3048 rather than x*1250/381.
    inverse = decimal_text(1 / value)
    candidates.append("/" + inverse if inverse is not None else None)
    if value.numerator != 1:
        ratio = "*" + integer_text(value.numerator)
        if value.denominator != 1:
            ratio += "/" + integer_text(value.denominator)
        candidates.append(ratio)
    return shortest(candidates)


def signed_term(value):
    """A rational added to what comes before: "", "+c" or "-c"."""
    if value == 0:
        return ""
    return ("+" if value > 0 else "-") + constant_text(abs(value))


def scale_formula(ratio):
    """x times a positive rational times a power of pi."""
    rational, power = ratio.rational, ratio.pi_power
    if power == 0:
        return "x" + multiply_text(rational)
    if power > 0:
        pi_part = "*" + "*".join([PI_TEXT] * power)
        # An integer multiplier reads best before pi (x*2*pi), a fraction after it (x*pi/180).
        if rational.denominator == 1:
            return "x" + multiply_text(rational) + pi_part
        return "x" + pi_part + multiply_text(rational)
    return "x" + multiply_text(rational) + "/" + "/".join([PI_TEXT] * -power)


def affine_formula(ratio, constant):
    """y = x*ratio + constant, written either as that or as (x + constant/ratio)*ratio."""
    if constant == 0:
        return "x" + multiply_text(ratio)
    candidates = ["x" + multiply_text(ratio) + signed_term(constant)]
    if ratio != 1:
        candidates.append("(x" + signed_term(constant / ratio) + ")" + multiply_text(ratio))
    return shortest(candidates)


# ---------------------------------------------------------------------------------------------
# Conversions


def conversion(source, target):
    """The formula from source to target and, for the self-check, the exact function it computes.

    scale:   base = x * factor
    offset:  base = (x + offset) * factor
    inverse: base = factor / x
    """
    if source.relation != "inverse" and target.relation != "inverse":
        ratio = source.factor / target.factor
        if ratio.pi_power:
            def exact(x, q=ratio):
                return float(Fraction(x) * q.rational) * math.pi**q.pi_power
            return scale_formula(ratio), exact
        scale = ratio.rational
        constant = source.offset * scale - target.offset
        def exact(x, r=scale, c=constant):
            return float(Fraction(x) * r + c)
        return affine_formula(scale, constant), exact
    if source.relation == "inverse" and target.relation == "inverse":
        scale = target.factor.rational / source.factor.rational
        def exact(x, r=scale):
            return float(Fraction(x) * r)
        return "x" + multiply_text(scale), exact
    # Exactly one side is a reciprocal measure: y = k / x.
    if source.relation == "inverse":
        numerator = source.factor.rational / target.factor.rational
    else:
        numerator = target.factor.rational / source.factor.rational
    def exact(x, k=numerator):
        return float(k / Fraction(x))
    return constant_text(numerator) + "/x", exact


def engine_value(formula, x):
    """Evaluates a formula the way the program's engine does, in doubles, for the forms written
    here: operands, x, + - * / and parentheses, all left-associative, * and / above + and -."""
    tokens = re.findall(r"\d+(?:\.\d*)?(?:[eE]\d+)?|x|[-+*/()]", formula)
    if "".join(tokens) != formula:
        raise ValueError(f"formula {formula!r} holds something the generator never writes")
    position = 0

    def peek():
        return tokens[position] if position < len(tokens) else None

    def take():
        nonlocal position
        position += 1
        return tokens[position - 1]

    def primary():
        token = take()
        if token == "(":
            value = additive()
            if take() != ")":
                raise ValueError(f"unbalanced {formula!r}")
            return value
        if token == "x":
            return x
        return float(token)

    def multiplicative():
        value = primary()
        while peek() in ("*", "/"):
            value = value * primary() if take() == "*" else value / primary()
        return value

    def additive():
        value = multiplicative()
        while peek() in ("+", "-"):
            value = value + multiplicative() if take() == "+" else value - multiplicative()
        return value

    value = additive()
    if position != len(tokens):
        raise ValueError(f"trailing tokens in {formula!r}")
    return value


def catalog_lines(categories):
    lines = []
    for category, units in categories:
        for source in units:
            # The unit most people convert to comes first in the To list, and first among the
            # matches when Find is given only the From unit.
            targets = sorted(units, key=lambda unit: unit.label != source.counterpart)
            for target in targets:
                if target is source:
                    continue
                formula, exact = conversion(source, target)
                for x in SELF_CHECK_VALUES:
                    expected = exact(x)
                    computed = engine_value(formula, x)
                    if abs(computed - expected) > SELF_CHECK_TOLERANCE * abs(expected):
                        raise TableError(f"{category}: {source.label} to {target.label}: "
                                         f"{formula} gives {computed!r} at {x}, exact {expected!r}")
                name = f"{source.label} to {target.label}"
                line = "|".join([category, name, source.label, target.label, formula])
                if len(line) > MAX_LINE_TEXT:
                    raise TableError(f"line of {len(line)} characters (at most {MAX_LINE_TEXT}): "
                                     f"{line}")
                lines.append(line)
    return lines


def render(lines):
    return "".join(line + "\r\n" for line in lines).encode("ascii")


NAMES_HEADER = """\
# The names people type for the units of conv.txt, which Find Conversion and velmora --convert
# take as well as the labels: one line a unit, Label|name|name|... Letter case does not matter,
# except between names that differ only by it (mW and MW). Generated from data/units.tsv by
# scripts/generate_catalog.py; lines of your own may be added anywhere.
#
# A name that ends in @ and regions (gallon@GB,IE) is that unit's where the user's region is one
# of them (ISO 3166 codes), and no other unit's there; elsewhere it is no name. A field
# "@si: L, l, litre" says which names take prefixes (kL, ml, millilitre): si, si-small (deci
# down), si-large (kilo up), binary (kibi up); "squared" or "cubed" among them raises the prefix
# to that power (@si cubed: m3 gives dm3, a thousandth of a m3).
#
# Where one symbol is used for two units, it goes to the one most people mean:
"""


def render_names(categories):
    text = NAMES_HEADER
    for _, units in categories:
        for unit in units:
            if unit.names_note:
                text += f"#   {unit.label}: {unit.names_note}\n"
    text += "\n"
    for _, units in categories:
        for unit in units:
            fields = [unit.label, *unit.names]
            if unit.prefixes:
                kinds, bases = unit.prefixes
                fields.append(f"@{' '.join(kinds)}: {', '.join(bases)}")
            text += "|".join(fields) + "\n"
    return text.encode("utf-8")


def first_difference(expected, actual):
    expected_lines = expected.split(b"\n")
    actual_lines = actual.split(b"\n")
    for number, (want, have) in enumerate(zip(expected_lines, actual_lines), start=1):
        if want != have:
            return number, want, have
    number = min(len(expected_lines), len(actual_lines)) + 1
    want = expected_lines[number - 1] if number <= len(expected_lines) else b"<end of file>"
    have = actual_lines[number - 1] if number <= len(actual_lines) else b"<end of file>"
    return number, want, have


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare the catalog file with a fresh generation instead of writing")
    parser.add_argument("--table", type=Path, default=TABLE, help="unit table (default: %(default)s)")
    parser.add_argument("--output", type=Path, default=OUTPUT,
                        help="catalog file (default: %(default)s)")
    parser.add_argument("--names-output", type=Path, default=NAMES_OUTPUT,
                        help="unit names file (default: %(default)s)")
    options = parser.parse_args()

    try:
        categories = load_table(options.table)
        lines = catalog_lines(categories)
    except (TableError, OSError, UnicodeDecodeError) as error:
        print(f"generate_catalog: {error}", file=sys.stderr)
        return 2
    outputs = [(options.output, render(lines)),
               (options.names_output, render_names(categories))]
    units = sum(len(members) for _, members in categories)
    summary = (f"{len(categories)} categories, {units} units, {len(lines)} lines, "
               f"longest line {max(map(len, lines))} characters")

    if options.check:
        for output, content in outputs:
            try:
                committed = output.read_bytes()
            except OSError as error:
                print(f"generate_catalog --check: cannot read {output}: {error}", file=sys.stderr)
                return 1
            if committed != content:
                number, want, have = first_difference(content, committed)
                print(f"generate_catalog --check: {output} differs from what {options.table} "
                      f"generates, first at line {number}:\n  generated: {want!r}\n"
                      f"  committed: {have!r}\n"
                      f"Run scripts/generate_catalog.py and commit the result.", file=sys.stderr)
                return 1
        print(f"{options.output} and {options.names_output} are up to date: {summary}")
        return 0

    for output, content in outputs:
        output.write_bytes(content)
    print(f"wrote {options.output} and {options.names_output}: {summary}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
