#!/usr/bin/env python3
"""Prints the top N words a learner would be shown for a folder of saved pages, with each
word's class, so a reviewer sees at a glance what the built-in lists and the fold give.

    tools/top_words.py [--cli PATH] [--top N] [--hide-names] [--known FILE] PAGE_OR_DIR...

It runs the program's own pipeline: quillmark-cli words (page scanner, sentence store,
tokenizer, fold, ranking, NG words) with the built-in lists only (an empty data directory),
as JSON with the folded forms. Classes:
    name, label   the program's own judgement from the run's sentences (what --hide-names,
                  HideNames in the window, leaves out)
    known         the word is in the --known FILE (a reviewer's list of words a learner knows)
    folded        inflected forms were folded into the word: check that they belong to it
    other         none of these
A directory stands for its *.html files in name order. --hide-names shows what the learner
gets with the option on.
"""

import argparse
import glob
import json
import os
import subprocess
import sys
import tempfile

REPO_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_CLI = os.path.join(REPO_DIR, "build", "dev", "src", "cli", "quillmark-cli")


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", default=DEFAULT_CLI, help="the quillmark-cli to run")
    parser.add_argument("--top", type=int, default=100, help="how many words (default 100)")
    parser.add_argument("--hide-names", action="store_true",
                        help="leave names and page labels out, as the option does")
    parser.add_argument("--known", help="file of words a learner knows, one or more a line")
    parser.add_argument("pages", nargs="+", help="saved pages, or directories of *.html")
    return parser.parse_args(argv)


def page_files(paths):
    files = []
    for path in paths:
        files += sorted(glob.glob(os.path.join(path, "*.html"))) if os.path.isdir(path) else [path]
    return files


def read_known(path):
    if not path:
        return set()
    with open(path, encoding="utf-8") as stream:
        return {word.lower() for line in stream if not line.startswith("#")
                for word in line.split()}


def run_words(cli, files, top, hide_names):
    with tempfile.TemporaryDirectory() as data_dir:
        command = [cli, "--data-dir", data_dir, "words", "--format", "json", "--forms",
                   "--top", str(top)] + (["--hide-names"] if hide_names else []) + files
        output = subprocess.run(command, check=False, capture_output=True).stdout
    return json.loads(output)["words"]


def word_class(word, known):
    if word["class"] != "word":
        return word["class"]
    if word["word"] in known:
        return "known"
    return "folded" if word["forms"] else "other"


def main(argv):
    arguments = parse_arguments(argv)
    files = page_files(arguments.pages)
    if not files:
        sys.exit("no pages given")
    words = run_words(arguments.cli, files, arguments.top, arguments.hide_names)
    known = read_known(arguments.known)
    totals = {}
    print("%d pages, top %d shown words%s" % (len(files), len(words),
                                              " (names and page labels hidden)"
                                              if arguments.hide_names else ""))
    for rank, word in enumerate(words, 1):
        kind = word_class(word, known)
        totals[kind] = totals.get(kind, 0) + 1
        forms = " ".join("%s:%d" % (form["form"], form["count"]) for form in word["forms"])
        print("%4d  %-18s %5d  %-7s %s" % (rank, word["word"], word["count"], kind, forms))
    print("classes: " + ", ".join("%s %d" % item for item in sorted(totals.items())))


if __name__ == "__main__":
    main(sys.argv[1:])
