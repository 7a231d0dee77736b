"""Readers for the unpacked lexical sources (see tools/fetch-sources.sh).

Every reader returns plain Python data with words in upper case A-Z only;
entries holding any other character (apostrophes, digits, hyphens, accents)
are dropped, because the tokenizer of the program never produces them.
"""

import json
import math
import os
import re
import struct

_LETTERS = re.compile(r"[A-Za-z]+")

SCOWL_SIZES = (10, 20, 35, 40, 50, 55, 60, 70, 80, 95)
# The spelling-neutral list plus both national spellings; the variant lists
# (variant_1..3) hold spellings SCOWL itself considers non-standard.
SCOWL_SPELLINGS = ("english", "american", "british")


def is_plain_word(text):
    return _LETTERS.fullmatch(text) is not None


class SourcePaths:
    """Where each source file lies below the directory fetch-sources.sh fills."""

    def __init__(self, root):
        self.root = root
        share = os.path.join(root, "root", "usr", "share")
        self.scowl_dir = os.path.join(share, "dict", "scowl")
        self.wordnet_dir = os.path.join(share, "wordnet")
        self.poslex = os.path.join(share, "festival", "dicts", "wsj.wp39.poslexR")
        self.tag_ngrams = os.path.join(share, "festival", "dicts", "wsj.wp39.tri.ngrambin")
        self.npm_dir = os.path.join(root, "npm")
        self.versions = os.path.join(root, "versions.txt")

    def wordnet(self, name):
        return os.path.join(self.wordnet_dir, name)

    def npm(self, package, *parts):
        return os.path.join(self.npm_dir, package, "package", *parts)


def _read_lines(path):
    with open(path, encoding="utf-8", errors="replace") as stream:
        return stream.read().splitlines()


def read_scowl_tiers(scowl_dir):
    """Maps each lower-case SCOWL word to the smallest size list holding it.

    Only words written entirely in lower case are taken: capitalised entries
    are names, which the words lists hardly hold anyway.
    """
    tiers = {}
    for size in SCOWL_SIZES:
        for spelling in SCOWL_SPELLINGS:
            path = os.path.join(scowl_dir, "%s-words.%d" % (spelling, size))
            if not os.path.exists(path):
                continue
            for entry in _read_lines(path):
                if is_plain_word(entry) and entry.islower():
                    tiers.setdefault(entry.upper(), size)
    return tiers


def read_scowl_entries(scowl_dir, kinds, max_size):
    """Upper-cased entries of SCOWL's non-word lists ("proper-names", "upper",
    "abbreviations") up to a size."""
    entries = set()
    for size in SCOWL_SIZES:
        if size > max_size:
            break
        for spelling in SCOWL_SPELLINGS:
            for kind in kinds:
                path = os.path.join(scowl_dir, "%s-%s.%d" % (spelling, kind, size))
                if not os.path.exists(path):
                    continue
                for entry in _read_lines(path):
                    if is_plain_word(entry):
                        entries.add(entry.upper())
    return entries


def read_wordnet_lemmas(index_path):
    """The single-word lemmas of a WordNet index file (index.noun, index.verb)."""
    lemmas = set()
    for line in _read_lines(index_path):
        if line.startswith(" "):
            continue  # licence header
        lemma = line.split(" ", 1)[0]
        if is_plain_word(lemma):
            lemmas.add(lemma.upper())
    return lemmas


def read_wordnet_exceptions(exc_path):
    """(form, [bases]) for every line of a WordNet exception list."""
    pairs = []
    for line in _read_lines(exc_path):
        fields = line.split()
        if len(fields) < 2 or not is_plain_word(fields[0]):
            continue
        bases = [base.upper() for base in fields[1:] if is_plain_word(base)]
        if bases:
            pairs.append((fields[0].upper(), bases))
    return pairs


def read_wordnet_counts(cntlist_path):
    """Lemma -> number of times its senses were tagged in WordNet's corpora."""
    counts = {}
    for line in _read_lines(cntlist_path):
        fields = line.split()
        if len(fields) != 3:
            continue
        lemma = fields[0].split("%", 1)[0]
        if is_plain_word(lemma):
            key = lemma.upper()
            counts[key] = counts.get(key, 0) + int(fields[2])
    return counts


_POSLEX_ENTRY = re.compile(r'^\("(.*)" \((.*)\) \(\) \)$')
_POSLEX_TAG = re.compile(r"\((\S+) (-?\d+(?:\.\d+)?)\)")


def parse_poslex(lines, tag_totals):
    """Word -> {tag: estimated count} from Festival's part-of-speech lexicon.

    The lexicon stores ln P(word | tag) for the Wall Street Journal corpus;
    P times the number of words carrying the tag gives the word's count.
    For a tag missing from tag_totals the total is estimated from the rarest
    word of the tag, which occurred once. Words are folded to upper case and
    their counts summed.
    """
    entries = []
    lowest = {}
    for line in lines:
        match = _POSLEX_ENTRY.match(line.strip())
        if not match:
            continue
        tags = [(tag, float(logp)) for tag, logp in _POSLEX_TAG.findall(match.group(2))]
        entries.append((match.group(1), tags))
        for tag, logp in tags:
            lowest[tag] = min(lowest.get(tag, 0.0), logp)
    lexicon = {}
    for word, tags in entries:
        if not is_plain_word(word):
            continue
        counts = lexicon.setdefault(word.upper(), {})
        for tag, logp in tags:
            total = tag_totals.get(tag) or math.exp(-lowest[tag])
            estimate = max(1, round(math.exp(logp) * total))
            counts[tag] = counts.get(tag, 0) + estimate
    return lexicon


def parse_tag_ngrams(data):
    """Tag -> number of tokens, from Festival's binary tag n-gram file.

    The file ("NgramBin_2 ORDER") lists the tag vocabulary twice and then the
    dense table of n-gram counts as big-endian doubles, where a negative value
    -k stands for k - 1 empty cells. Summing over the last position gives each
    tag's token count.
    """
    header, vocabulary, _, body = data.split(b"\n", 3)
    fields = header.split()
    if len(fields) != 2 or fields[0] != b"NgramBin_2":
        raise ValueError("not a binary n-gram file")
    order = int(fields[1])
    tags = [tag.decode("ascii") for tag in vocabulary.split()]
    values = struct.unpack(">%dd" % (len(body) // 8), body[:len(body) // 8 * 8])
    totals = [0.0] * len(tags)
    cell = 0
    for value in values:
        if value < 0:
            cell += int(-value) - 1
        else:
            totals[cell % len(tags)] += value
            cell += 1
    if cell != len(tags) ** order:
        raise ValueError("n-gram table has %d cells, expected %d" % (cell, len(tags) ** order))
    return {tag: round(total) for tag, total in zip(tags, totals)}


def read_poslex(poslex_path, ngram_path):
    with open(ngram_path, "rb") as stream:
        tag_totals = parse_tag_ngrams(stream.read())
    with open(poslex_path, encoding="latin-1") as stream:
        return parse_poslex(stream.read().splitlines(), tag_totals)


_JS_COMMENT = re.compile(r"/\*.*?\*/|//[^\n]*", re.S)
_JS_STRING = re.compile(r"'([^'\\\n]*)'")


def js_string_literals(source):
    """Every single-quoted string literal of a JavaScript file, comments removed."""
    return _JS_STRING.findall(_JS_COMMENT.sub("", source))


def _read_text(path):
    with open(path, encoding="utf-8") as stream:
        return stream.read()


def _plain_upper(words):
    return {word.upper() for word in words if is_plain_word(word)}


def _npm_literals(paths, package, *parts):
    return js_string_literals(_read_text(paths.npm(package, *parts)))


def read_stopwords(paths):
    return _plain_upper(_npm_literals(paths, "stopword", "src", "stopwords_eng.js"))


def read_html_tag_names(paths):
    return _plain_upper(_npm_literals(paths, "html-tag-names", "index.js"))


def read_html_attributes(paths):
    return _plain_upper(_npm_literals(paths, "html-element-attributes", "index.js"))


def read_character_entities(paths):
    return _plain_upper(_npm_literals(paths, "character-entities-legacy", "index.js"))


def read_reserved_words(paths):
    words = set()
    for literal in _npm_literals(paths, "reserved-words", "lib", "reserved-words.js"):
        words.update(literal.split())
    return _plain_upper(words)


def read_globals(paths, environments):
    with open(paths.npm("globals", "globals.json"), encoding="utf-8") as stream:
        table = json.load(stream)
    words = set()
    for environment in environments:
        words.update(table[environment])
    return _plain_upper(words)


def read_brand_names(paths):
    with open(paths.npm("simple-icons", "data", "simple-icons.json"), encoding="utf-8") as stream:
        icons = json.load(stream)
    return _plain_upper(icon["title"] for icon in icons)


def read_dictionary_spellings(path):
    """The upper-cased plain spellings of the built-in dictionary (SPELLING<TAB>MEANING)."""
    spellings = set()
    with open(path, encoding="utf-8") as stream:
        for line in stream:
            spelling = line.split("\t", 1)[0]
            if is_plain_word(spelling):
                spellings.add(spelling.upper())
    return spellings


def read_versions(paths):
    """Lines of versions.txt ("deb NAME VERSION" / "npm NAME VERSION"), if present."""
    if not os.path.exists(paths.versions):
        return []
    return [line for line in _read_lines(paths.versions) if line.strip()]
