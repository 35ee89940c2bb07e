"""GNU units as an independent reference, asked many questions in one process.

Only its standard definitions are read (no personal units file, no history). The region chooses
between its US and British meanings of gallon, ton, cup and the like (UNITS_ENGLISH). After each
question a sentinel question is asked, whose answer ends the answer before it: GNU units answers
a question it cannot read in several lines, or none, and the answers stay in step all the same.
"""

import os
import subprocess
import sys

SENTINEL = ("1234567.125 s", "1234567.125")


class Session:
    def __init__(self, executable, region="US"):
        self.command = [executable, "--terse", "--output-format", "%.17g", "--file", "",
                        "--history", "", "--locale", f"en_{region}"]
        self.environment = {key: value for key, value in os.environ.items()
                            if key not in ("UNITSFILE", "MYUNITSFILE")}
        self.environment.update(LC_ALL="C", UNITS_ENGLISH=region)

    def _run(self, lines, expected):
        result = subprocess.run(self.command, input="".join(lines), capture_output=True,
                                text=True, env=self.environment, check=False)
        answers, printed = [], []
        for line in result.stdout.splitlines():
            if line.strip() in SENTINEL:
                answers.append("\n".join(printed))
                printed = []
            else:
                printed.append(line)
        if len(answers) != expected:
            sys.exit(f"GNU units answered {len(answers)} of {expected} questions: "
                     f"{result.stderr.strip()}")
        return answers

    def readable(self, expressions):
        """The expressions it reads. Each is asked alone: one it cannot read makes it ask for
        another, which the empty line after it is."""
        expressions = sorted(set(expressions))
        answers = self._run([f"{text}\n\n{SENTINEL[0]}\n\n" for text in expressions],
                            len(expressions))
        # Read: its value in base units, or its definition (a function's has two lines).
        return {text for text, answer in zip(expressions, answers)
                if number(answer.split(" ")[0]) is not None or
                " = " in answer.split("\n")[0]}

    def ask(self, pairs):
        """Its answer to each (have, want), both of which it reads (readable): a number, or
        what it says (a conformability error)."""
        return self._run([f"{have}\n{want}\n{SENTINEL[0]}\ns\n" for have, want in pairs],
                         len(pairs))


def number(answer):
    """The number of an answer; None for anything else."""
    try:
        return float(answer)
    except (TypeError, ValueError):
        return None
