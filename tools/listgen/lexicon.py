"""What the list builders know about a word, gathered from all sources.

Kept as plain dictionaries and sets so that tests can build a small Lexicon
by hand.
"""

VERB_TAGS = frozenset({"vb", "vbd", "vbg", "vbn", "vbp", "vbz"})
# Closed-class tags of the Penn Treebank tag set as the news lexicon folds it
# (possessive pronouns are tagged prp there).
CLOSED_TAGS = frozenset({"cc", "dt", "ex", "in", "md", "of", "pdt", "pos", "prp", "rp", "to",
                         "wdt", "wp", "wrb"})

NOT_IN_SCOWL = 1000  # sorts after every SCOWL size


class Lexicon:
    """Per-word facts: commonness tier, WordNet lemmas, frequencies, tags.

    tiers:     word -> smallest SCOWL size list holding it
    nouns, verbs: WordNet lemmas
    noun_exceptions, verb_exceptions: [(form, [bases])] irregular forms
    general:   lemma -> WordNet sense-tagged count (general frequency)
    news:      word -> {tag: count} estimated from the news lexicon
    """

    def __init__(self, tiers, nouns, verbs, noun_exceptions, verb_exceptions, general, news):
        self.tiers = tiers
        self.nouns = nouns
        self.verbs = verbs
        self.noun_exceptions = noun_exceptions
        self.verb_exceptions = verb_exceptions
        self.general = general
        self.news = news

    def tier(self, word):
        return self.tiers.get(word, NOT_IN_SCOWL)

    def news_count(self, word):
        return sum(self.news.get(word, {}).values())

    def general_count(self, word):
        return self.general.get(word, 0)

    def news_tags(self, word):
        """The tags the news lexicon gives the word; empty when it never saw it."""
        return set(self.news.get(word, {}))

    def dominant_tag(self, word):
        """The word's most frequent news tag (ties by tag name), or None."""
        tags = self.news.get(word)
        if not tags:
            return None
        return max(tags.items(), key=lambda item: (item[1], item[0]))[0]

    def is_closed_class(self, word):
        return self.dominant_tag(word) in CLOSED_TAGS

    def is_lemma(self, word):
        return word in self.nouns or word in self.verbs
