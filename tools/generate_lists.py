#!/usr/bin/env python3
"""Generates resources/HOSTS, NGWORDS, MAPPEDWORDS, MAPPING_DIC, FREQUENCY_RANKS and
MADE_UP_WORDS.

    tools/fetch-sources.sh [SOURCES]          # once: download and unpack
    tools/generate_lists.py [--sources SOURCES] [--out DIR] [--check] [--note]

SOURCES defaults to $QUILLMARK_LIST_SOURCES, else ~/.cache/quillmark-list-sources.
With --check nothing is written: the exit status says whether the files in
--out are exactly what the sources give. --note prints sample lines of the
mapping dictionary and whether common irregular forms are in it.
"""

import argparse
import os
import random
import sys

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS_DIR)

from listgen import build, denylist, lineio, reviewed, sources  # noqa: E402

REPO_DIR = os.path.dirname(TOOLS_DIR)
NOTE_SEED = 3
NOTE_SAMPLE = 20
COMMON_IRREGULAR_PAIRS = ("RAN RUN", "WENT GO", "WAS BE", "SAID SAY", "CHILDREN CHILD",
                          "MICE MOUSE", "WOMEN WOMAN", "STOPPED STOP", "CRISES CRISIS")


def default_sources_dir():
    return os.environ.get("QUILLMARK_LIST_SOURCES") or os.path.join(
        os.path.expanduser("~"), ".cache", "quillmark-list-sources")


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sources", default=default_sources_dir(),
                        help="directory filled by tools/fetch-sources.sh")
    parser.add_argument("--out", default=os.path.join(REPO_DIR, "resources"),
                        help="directory of the list files (default: resources/)")
    parser.add_argument("--check", action="store_true",
                        help="compare with the files in --out instead of writing them")
    parser.add_argument("--note", action="store_true",
                        help="print sample mapping lines and common irregular pairs")
    return parser.parse_args(argv)


def note(pairs):
    lines = lineio.mapping_lines(pairs)
    print("%d random MAPPING_DIC lines (seed %d):" % (NOTE_SAMPLE, NOTE_SEED))
    for line in random.Random(NOTE_SEED).sample(lines, NOTE_SAMPLE):
        print("  " + line)
    present = set(lines)
    print("Common irregular forms:")
    for pair in COMMON_IRREGULAR_PAIRS:
        print("  %-16s %s" % (pair, "present" if pair in present else "MISSING"))


def main(argv):
    arguments = parse_arguments(argv)
    paths = sources.SourcePaths(arguments.sources)
    if not os.path.isdir(paths.scowl_dir):
        sys.exit("no sources in %s: run tools/fetch-sources.sh first" % arguments.sources)
    for pinned in build.version_mismatches(paths):
        print("warning: sources are not %s; the lists may differ" % pinned, file=sys.stderr)

    deny = denylist.read_deny_list(os.path.join(TOOLS_DIR, "deny_list.txt"))
    hosts = lineio.read_listed_lines(os.path.join(TOOLS_DIR, "news_sites.txt"))
    lexicon = build.load_lexicon(paths)
    noise = build.load_noise_sources(paths, os.path.join(TOOLS_DIR, "noise_words.txt"))
    rank_sources = build.load_rank_sources(paths, os.path.join(REPO_DIR, "resources", "EJDICT"))
    lists = build.build_lists(lexicon, noise, deny, hosts, reviewed.load_reviewed(TOOLS_DIR),
                              rank_sources)
    for entry in lists.unused_deny_entries:
        print("note: deny list entry matches nothing: %s" % entry, file=sys.stderr)

    differing = []
    for name, data in sorted(lists.files().items()):
        path = os.path.join(arguments.out, name)
        if arguments.check:
            with open(path, "rb") as stream:
                if stream.read() != data:
                    differing.append(name)
        else:
            with open(path, "wb") as stream:
                stream.write(data)
    if arguments.note:
        note(lists.pairs)
        print("Forms the news lexicon often tags as a word of their own, not yet kept:")
        for form, base in build.kept_form_candidates(lexicon, lists.pairs):
            print("  %s %s" % (form, base))
    if differing:
        sys.exit("differs from the sources: " + ", ".join(differing))
    print("%s %d files in %s" % ("checked" if arguments.check else "wrote", len(lists.files()),
                                 arguments.out))


if __name__ == "__main__":
    main(sys.argv[1:])
