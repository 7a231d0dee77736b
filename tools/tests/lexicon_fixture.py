"""A small hand-built Lexicon for the builders' tests."""

from listgen.lexicon import Lexicon


def make_lexicon(tiers=None, nouns=(), verbs=(), noun_exceptions=(), verb_exceptions=(),
                 general=None, news=None):
    return Lexicon(tiers=dict(tiers or {}), nouns=set(nouns), verbs=set(verbs),
                   noun_exceptions=list(noun_exceptions), verb_exceptions=list(verb_exceptions),
                   general=dict(general or {}), news=dict(news or {}))
