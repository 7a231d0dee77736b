"""The reviewed deny list: pairs that pass every rule and are still wrong, and
words that must not appear in any list.

File format, one entry a line, '#' starts a comment:
    PAIR FORM BASE     the pair FORM -> BASE is never written
    WORD WORD          the word appears in no list, as form or base
"""


class DenyList:
    def __init__(self, pairs=(), words=()):
        self.pairs = set(pairs)
        self.words = set(words)

    def allows_pair(self, form, base):
        return (form, base) not in self.pairs and form not in self.words and base not in self.words

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
