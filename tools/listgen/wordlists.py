"""Builds the NG-word list and the mapped-word list.

The NG-word list holds words the word list view never shows: function words,
mark-up and script tokens, abbreviations, brand and site names, and then the
commonest basic words, which a learner already knows. The mapped-word list
holds the base forms of common news vocabulary, so that the first run already
folds their inflected forms even when the base form itself is not on a page.
"""

from .lexicon import VERB_TAGS

NG_WORDS = 1739  # plus the empty first line
MAPPED_WORDS = 1386

COMMON_TIER = 35  # SCOWL sizes up to 35 are the words of a small dictionary
ENGLISH_WORD_TIER = 35  # a token in these sizes is an ordinary English word
BASIC_TIER = 10  # the fill of the NG-word list comes from the smallest size
NAME_TIER = 70  # brand names must be known to SCOWL's name lists up to here
ABBREVIATION_TIER = 50
# A mark-up word this frequent in news prose is a word of the news, not of the
# page's mark-up (TIME, AREA, PROGRESS stay visible; TABLE, FONT do not).
MARKUP_NEWS_LIMIT = 30
MIN_MAPPED_LENGTH = 3
COMMON_NOUN_TAGS = frozenset({"nn", "nns"})  # proper nouns (nnp) mark names
JS_GLOBAL_ENVIRONMENTS = ("builtin",)


class NoiseSources:
    """Raw word sets for the NG-word list, all upper case."""

    def __init__(self, stopwords=(), html_tags=(), html_attributes=(), entities=(),
                 reserved_words=(), script_globals=(), abbreviations=(), brand_names=(),
                 known_names=()):
        self.stopwords = set(stopwords)
        self.html_tags = set(html_tags)
        self.html_attributes = set(html_attributes)
        self.entities = set(entities)
        self.reserved_words = set(reserved_words)
        self.script_globals = set(script_globals)
        self.abbreviations = set(abbreviations)
        self.brand_names = set(brand_names)
        self.known_names = set(known_names)


def function_words(lexicon, sources):
    """The stop-word list plus words the news lexicon mostly tags as closed-class.

    Only words of the common tiers count, which keeps the lexicon's typos
    (BECASE) and rare interjections out.
    """
    words = set(sources.stopwords)
    for word in lexicon.news:
        if lexicon.tier(word) <= COMMON_TIER and lexicon.is_closed_class(word):
            words.add(word)
    return words


def markup_words(lexicon, sources):
    """Tag and entity names that are rare in news prose, plus the attribute,
    keyword and global names that are no English words at all (HREF, NBSP,
    TYPEOF); the latter sets are large and full of ordinary words."""
    words = {word for word in sources.html_tags | sources.entities
             if lexicon.news_count(word) < MARKUP_NEWS_LIMIT}
    for word in sources.html_attributes | sources.reserved_words | sources.script_globals:
        if lexicon.tier(word) > ENGLISH_WORD_TIER and lexicon.news_count(word) < MARKUP_NEWS_LIMIT:
            words.add(word)
    return words


def name_words(lexicon, sources):
    """Abbreviations (MRS, CEO, WWW) and brand and site names (YOUTUBE, CNN) that
    are not also ordinary words (APPLE, SHELL and TARGET stay visible). Only
    brands that SCOWL knows as names count, which leaves obscure products out."""
    words = set()
    for word in sources.abbreviations:
        if lexicon.tier(word) > ENGLISH_WORD_TIER:
            words.add(word)
    for word in sources.brand_names:
        if word in sources.known_names and lexicon.tier(word) > ENGLISH_WORD_TIER:
            words.add(word)
    return {word for word in words if len(word) >= 2}


def ng_core(lexicon, sources, deny):
    words = function_words(lexicon, sources) | markup_words(lexicon, sources) | name_words(
        lexicon, sources)
    return {word for word in words if deny.allows_word(word)}


def inflected_forms(mapping):
    """The forms the dictionary folds onto another word (not its self-mapped words)."""
    return {form for form, base in mapping if form != base}


def news_frequency_with_forms(lexicon, mapping):
    """base -> news count of the base plus the news counts of its mapped forms."""
    totals = {}
    for form, base in mapping:
        if form == base:
            continue
        totals[base] = totals.get(base, 0) + lexicon.news_count(form)
    return totals


def is_noun_or_verb_in_news(lexicon, word):
    """True unless the news lexicon mostly uses the word as something else: a
    number (ONE), an adjective (LAST), a modal (MAY) or a name (BUSH, SMITH).
    Unseen words pass."""
    tag = lexicon.dominant_tag(word)
    return tag is None or tag in COMMON_NOUN_TAGS or tag in VERB_TAGS


def build_mapped_words(lexicon, mapping, core, deny, count=MAPPED_WORDS):
    """The count base forms of highest news frequency, alphabetical."""
    inflected = inflected_forms(mapping)
    from_forms = news_frequency_with_forms(lexicon, mapping)
    candidates = [
        word for word in lexicon.tiers
        if lexicon.tier(word) <= COMMON_TIER and len(word) >= MIN_MAPPED_LENGTH
        and lexicon.is_lemma(word) and word not in inflected and word not in core
        and deny.allows_word(word) and is_noun_or_verb_in_news(lexicon, word)
    ]
    score = {word: lexicon.news_count(word) + from_forms.get(word, 0) for word in candidates}
    ranked = sorted(candidates,
                    key=lambda word: (-score[word], -lexicon.general_count(word), word))
    if len(ranked) < count:
        raise ValueError("only %d mapped-word candidates" % len(ranked))
    return sorted(ranked[:count])


def has_vowel(word):
    """False for letter clusters such as CS, which SCOWL lists as plurals of letters."""
    return any(letter in "AEIOUY" for letter in word)


def build_ng_words(lexicon, mapping, mapped, core, deny, count=NG_WORDS):
    """The NG words, alphabetical: the core, then the commonest basic words that
    are neither inflected forms nor mapped words, up to count."""
    if len(core) > count:
        raise ValueError("%d core NG words, more than the %d wanted" % (len(core), count))
    inflected = inflected_forms(mapping)
    excluded = core | inflected | set(mapped)
    basics = [word for word in lexicon.tiers
              if lexicon.tier(word) <= BASIC_TIER and len(word) >= 2 and has_vowel(word)
              and word not in excluded and deny.allows_word(word)]
    basics.sort(key=lambda word: (-lexicon.news_count(word), -lexicon.general_count(word), word))
    fill = count - len(core)
    if len(basics) < fill:
        raise ValueError("only %d basic words for %d places" % (len(basics), fill))
    return sorted(core | set(basics[:fill]))
