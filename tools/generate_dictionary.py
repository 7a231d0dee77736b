#!/usr/bin/env python3
"""Generates resources/EJDICT, the built-in English-Japanese dictionary.

    tools/generate_dictionary.py --source EJDICT_DIR [--out FILE] [--check]

EJDICT_DIR holds the dictionary's 26 files a.txt ... z.txt, one entry a line,
"HEADWORD<TAB>MEANING", UTF-8. A headword may list several spellings separated
by commas ("colour, color"); each spelling becomes an entry of its own.
tools/added_meanings.txt adds, in the same format ('#' starts a comment line),
the words of today's news the dictionary lacks (internet, email, lockdown...);
it may only add: a spelling the dictionary already has stops the generator.

The output is one line per spelling, "SPELLING<TAB>MEANING<LF>", sorted by the
spelling with ASCII letters lowered (byte order), which is the order the
program's lookup searches in. Spellings equal but for ASCII case share one line:
the meanings are joined with " / " (senses already there are not repeated) under
the first spelling in lower case, else the first met. With --check nothing is
written; the exit status says whether FILE is exactly what the source gives.
Running it twice gives the same bytes.
"""

import argparse
import os
import string
import sys

REPO_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ADDED_MEANINGS = os.path.join(REPO_DIR, "tools", "added_meanings.txt")
SENSE_SEPARATOR = " / "
ASCII_LOWER = str.maketrans(string.ascii_uppercase, string.ascii_lowercase)


def lookup_key(spelling):
    return spelling.translate(ASCII_LOWER).encode("utf-8")


def read_file_entries(path):
    """Yields (spelling, meaning) for every spelling of every line of one file."""
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("#") or "\t" not in line:
                continue
            headword, meaning = line.split("\t", 1)
            meaning = meaning.strip()
            for spelling in headword.split(","):
                spelling = spelling.strip()
                if spelling and meaning:
                    yield spelling, meaning


def read_entries(source_dir):
    """Yields (spelling, meaning) for every spelling of every line, in file order."""
    for letter in string.ascii_lowercase:
        yield from read_file_entries(os.path.join(source_dir, letter + ".txt"))


def added_entries(path, known_keys):
    """The entries of the added-meanings file; stops on a spelling the dictionary has, so
    the file never overrides or repeats the dictionary."""
    entries = list(read_file_entries(path))
    repeated = sorted({s for s, _ in entries if lookup_key(s) in known_keys})
    if repeated:
        sys.exit("%s: already in the dictionary: %s" % (path, ", ".join(repeated)))
    return entries


def merged_entries(entries):
    """Returns {key: (spelling, [senses])}, one item per spelling ignoring ASCII case."""
    merged = {}
    for spelling, meaning in entries:
        key = lookup_key(spelling)
        senses = meaning.split(SENSE_SEPARATOR)
        if key not in merged:
            merged[key] = (spelling, senses)
            continue
        kept_spelling, kept_senses = merged[key]
        if spelling == spelling.translate(ASCII_LOWER) and kept_spelling != spelling:
            # the lower-case spelling heads the line, its senses first
            kept_spelling, kept_senses = spelling, senses + kept_senses
        else:
            kept_senses = kept_senses + senses
        unique = []
        for sense in kept_senses:
            if sense not in unique:
                unique.append(sense)
        merged[key] = (kept_spelling, unique)
    return merged


def dictionary_bytes(source_dir, added_path=ADDED_MEANINGS):
    entries = list(read_entries(source_dir))
    if added_path:
        entries += added_entries(added_path, {lookup_key(s) for s, _ in entries})
    merged = merged_entries(entries)
    out = bytearray()
    for key in sorted(merged):
        spelling, senses = merged[key]
        out += (spelling + "\t" + SENSE_SEPARATOR.join(senses) + "\n").encode("utf-8")
    return bytes(out)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--source", required=True, help="the folder of a.txt ... z.txt")
    parser.add_argument("--out", default=os.path.join(REPO_DIR, "resources", "EJDICT"))
    parser.add_argument("--added", default=ADDED_MEANINGS,
                        help="the meanings added to the source (default: %(default)s)")
    parser.add_argument("--check", action="store_true", help="compare instead of writing")
    arguments = parser.parse_args(argv)
    generated = dictionary_bytes(arguments.source, arguments.added)
    if arguments.check:
        try:
            with open(arguments.out, "rb") as existing:
                same = existing.read() == generated
        except OSError:
            same = False
        print(arguments.out + (" is up to date" if same else " differs from the source"))
        return 0 if same else 1
    with open(arguments.out, "wb") as out:
        out.write(generated)
    print("%s: %d entries, %d bytes" % (arguments.out, generated.count(b"\n"), len(generated)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
