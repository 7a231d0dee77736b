"""The reviewed word files of tools/ that widen what a learner is spared: basic words,
page labels, place names, the news words that must stay shown, the forms the fold must
leave alone, and the frequent-word lists a basic word is weighed against.

Every file holds words separated by blanks, several a line; '#' starts a comment.
"""

import os

FILES = {
    "basic": "basic_words.txt",
    "labels": "page_labels.txt",
    "places": "place_names.txt",
    "news_vocabulary": "news_vocabulary.txt",
    "kept_forms": "kept_forms.txt",
    "frequent": "ejdict_frequency.txt",
}


class ReviewedWords:
    """Upper-case word sets, one per file; empty when not given."""

    def __init__(self, basic=(), labels=(), places=(), news_vocabulary=(), kept_forms=(),
                 frequent=()):
        self.basic = set(basic)
        self.labels = set(labels)
        self.places = set(places)
        self.news_vocabulary = set(news_vocabulary)
        self.kept_forms = set(kept_forms)
        self.frequent = set(frequent)


def parse_words(lines):
    words = set()
    for number, raw in enumerate(lines, 1):
        for word in raw.split("#", 1)[0].split():
            if not word.isascii() or not word.isalpha():
                raise ValueError("line %d holds %r, which is no word of the letters A-Z"
                                 % (number, word))
            words.add(word.upper())
    return words


def read_words(path):
    with open(path, encoding="utf-8") as stream:
        return parse_words(stream.read().splitlines())


def load_reviewed(tools_dir):
    return ReviewedWords(**{name: read_words(os.path.join(tools_dir, file_name))
                            for name, file_name in FILES.items()})
