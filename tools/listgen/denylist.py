"""The reviewed lists: the deny list (pairs that pass every rule and are still
wrong, and words that must not appear in any list) and the noise list (names and
page-chrome words for the NG-word list that no source supplies).

File format, one entry a line, '#' starts a comment:
    PAIR FORM BASE     the pair FORM -> BASE is never written
    WORD WORD          the word appears in no list, as form or base
"""


class DenyList:
    """`fixed` words may stand in the lists but are never folded onto a base (page chrome
    such as RESERVED, which must stay itself to be hidden)."""

    def __init__(self, pairs=(), words=(), fixed=()):
        self.pairs = set(pairs)
        self.words = set(words)
        self.fixed = set(fixed)

    def allows_pair(self, form, base):
        return ((form, base) not in self.pairs and form not in self.words
                and base not in self.words and form not in self.fixed)

    def with_fixed(self, words):
        return DenyList(self.pairs, self.words, self.fixed | set(words))

    def allows_word(self, word):
        return word not in self.words


def parse_deny_list(lines):
    pairs, words = set(), set()
    for number, raw in enumerate(lines, 1):
        fields = raw.split("#", 1)[0].split()
        if not fields:
            continue
        kind, values = fields[0], [value.upper() for value in fields[1:]]
        if kind == "PAIR" and len(values) == 2:
            pairs.add((values[0], values[1]))
        elif kind == "WORD" and len(values) == 1:
            words.add(values[0])
        else:
            raise ValueError("deny list line %d is neither 'PAIR FORM BASE' nor 'WORD WORD': %r"
                             % (number, raw))
    return DenyList(pairs, words)


def read_deny_list(path):
    with open(path, encoding="utf-8") as stream:
        return parse_deny_list(stream.read().splitlines())


def parse_noise_words(lines):
    """(names, chrome words) of the reviewed noise list: 'NAME WORD' / 'CHROME WORD'."""
    kinds = {"NAME": set(), "CHROME": set()}
    for number, raw in enumerate(lines, 1):
        fields = raw.split("#", 1)[0].split()
        if not fields:
            continue
        if len(fields) != 2 or fields[0] not in kinds or not fields[1].isalpha():
            raise ValueError("noise list line %d is neither 'NAME WORD' nor 'CHROME WORD': %r"
                             % (number, raw))
        kinds[fields[0]].add(fields[1].upper())
    return kinds["NAME"], kinds["CHROME"]


def read_noise_words(path):
    with open(path, encoding="utf-8") as stream:
        return parse_noise_words(stream.read().splitlines())
