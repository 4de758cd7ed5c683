#!/usr/bin/env python3
"""Regenerates data/RPO.txt and data/SOURCES.md from the facts file.

    tools/make_table.py [--facts FILE] [--out-dir DIR] [--check]

The facts file is tab-separated: code, description, applies, confidence, sources. Every row
whose code has one to three characters becomes one record: the description and the years and
models it applies to, shortened until code and description fit the display box's width. Rows of
low confidence are marked " (unconfirmed)". Codes that are written both with the digit zero and
with the letter O get a record under each spelling. With --check nothing is written; the exit
status says whether the files in DIR are what the facts give. The facts file stands in data/,
beside the table it gives.
"""

import argparse
import csv
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_FACTS = ROOT / "data" / "rpo-facts.tsv"

# Code, two blanks and description fit the display box in one line at this many characters.
LINE_WIDTH = 70
UNCONFIRMED = " (unconfirmed)"
# Hand-made short lines for the rows whose own wording does not shorten well.
SHORT_FORMS = Path(__file__).resolve().parent / "short_forms.tsv"
# Notes about the code itself rather than the option; the table's two spellings answer them.
META_NOTES = r"\s*\((digit zero|one truck forum)[^()]*\)"
# Codes seen on labels and in print both with the digit zero and with the letter O.
ZERO_AND_O = {"L03": "LO3", "LH0": "LHO", "MX0": "MXO"}
# Longer wordings the facts use, and the short form the table prints.
SHORTER = [
    (r"\bthrottle-body fuel injection\b", "TBI"),
    (r"\bthrottle-body injection\b", "TBI"),
    (r"\bmultiport fuel injection\b", "MPFI"),
    (r"\btuned port injection \(TPI\)", "tuned port injection"),
    (r"\b4-barrel carburetor\b", "4-bbl carb"),
    (r"\b2-barrel carburetor\b", "2-bbl carb"),
    (r"\bpackage\b", "pkg"),
    (r"\bGM RWD \(general list\)", "GM RWD"),
]


def drop_parentheses(text):
    return re.sub(r"\s*\([^()]*\)", "", text).strip()


def first_clause(text):
    return re.split(r"[;,]", text, maxsplit=1)[0].strip()


def abbreviate(text):
    for pattern, replacement in SHORTER:
        text = re.sub(pattern, replacement, text)
    return text


def first_words(text, count=2):
    return " ".join(text.split()[:count])


# Each step gives up a little more detail, applies before description: the description says what
# the code is, applies only where it is found. The steps add up.
STEPS = [
    lambda d, a: (d, a),
    lambda d, a: (abbreviate(d), a),
    lambda d, a: (d, drop_parentheses(a)),
    lambda d, a: (drop_parentheses(d), a),
    lambda d, a: (d, first_clause(a)),
    lambda d, a: (d, first_words(a)),
    lambda d, a: (d, ""),
]


def description_for(code, row, short_forms):
    """The description, with the years and models it applies to, that fits LINE_WIDTH."""
    suffix = UNCONFIRMED if row["confidence"] == "low" else ""
    room = LINE_WIDTH - len(code) - 2 - len(suffix)
    if code in short_forms:
        text = short_forms[code]
        if len(text) > room:
            raise SystemExit(f"the short form of {code} is longer than {room} characters")
        return text + suffix
    d, a = re.sub(META_NOTES, "", row["description"]).strip(), row["applies"].strip()
    for step in STEPS:
        d, a = step(d, a)
        text = f"{d}; {a}" if a else d
        if len(text) <= room:
            return text + suffix
    raise SystemExit(f"{code}: no short form fits; add one to {SHORT_FORMS.name}")


def quoted(field):
    return f'"{field}"' if "," in field else field


def read_facts(path):
    with open(path, encoding="utf-8", newline="") as facts:
        return list(csv.DictReader(facts, delimiter="\t"))


def read_short_forms(path):
    forms = {}
    with open(path, encoding="utf-8", newline="") as lines:
        for line in lines:
            if line.strip() and not line.startswith("#"):
                code, text = line.rstrip("\n").split("\t", 1)
                forms[code] = text
    return forms


def build(rows, short_forms):
    records = {}
    sources = {}
    for row in rows:
        code = row["code"].strip()
        if not 1 <= len(code) <= 3:
            continue
        text = description_for(code, row, short_forms)
        pages = row["sources"].split()
        for spelling in [code] + ([ZERO_AND_O[code]] if code in ZERO_AND_O else []):
            if spelling in records:
                raise SystemExit(f"{spelling} stands twice in the facts")
            records[spelling] = text
        sources[code] = pages
    table = "".join(f"{code},{quoted(records[code])}\n" for code in sorted(records))
    return table, sources_page(sources)


def sources_page(sources):
    lines = [
        "# Where the code table's facts come from",
        "",
        "RPO.txt is built from a file of facts: RPO codes of 1982-1992 Firebird and Camaro cars",
        "gathered from public reference pages, each with the years and models it applies to and",
        "how sure the facts are. A code known from one uncertain source ends in \"(unconfirmed)\".",
        "L03, LH0 and MX0 are written with the digit zero; labels and print also show them with",
        "the letter O, so the table holds both spellings.",
        "",
        "## Adding a code",
        "",
        "The table is plain text: one line a code, the code, a comma, the description, the",
        "description in double quotes when it holds a comma. Any text editor can add a line to",
        "the RPO.txt beside the program, for example:",
        "",
        "    G80,Limited-slip rear differential",
        "    L98,\"5.7L V8, tuned port injection\"",
        "",
        "To add it to the table that ships with the program, add a row to the facts file,",
        "data/rpo-facts.tsv, and run `tools/make_table.py`, which writes data/RPO.txt and this",
        "page anew.",
        "",
        "## Pages, by code",
        "",
    ]
    for code in sorted(sources):
        lines.append(f"- {code}: " + " ".join(f"<{page}>" for page in sources[code]))
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--facts", type=Path, default=DEFAULT_FACTS)
    parser.add_argument("--out-dir", type=Path, default=ROOT / "data")
    parser.add_argument("--check", action="store_true")
    arguments = parser.parse_args()
    if not arguments.facts.exists():
        print(f"no facts file at {arguments.facts}", file=sys.stderr)
        return 1
    table, page = build(read_facts(arguments.facts), read_short_forms(SHORT_FORMS))
    targets = {"RPO.txt": table, "SOURCES.md": page}
    if arguments.check:
        stale = [name for name, text in targets.items()
                 if not (arguments.out_dir / name).exists()
                 or (arguments.out_dir / name).read_text(encoding="utf-8") != text]
        for name in stale:
            print(f"{arguments.out_dir / name} is not what the facts give; run tools/make_table.py",
                  file=sys.stderr)
        return 1 if stale else 0
    for name, text in targets.items():
        (arguments.out_dir / name).write_bytes(text.encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
