"""Builds the NG-word list and the mapped-word list.

The NG-word list holds words the word list view never shows: function words,
mark-up and script tokens, abbreviations, brand and site names, and then the
commonest basic words, which a learner already knows. The mapped-word list
holds the base forms of common news vocabulary, so that the first run already
folds their inflected forms even when the base form itself is not on a page.
"""

import string

from .lexicon import VERB_TAGS

NG_WORDS = 1739  # of the core and the general-English fill, plus the empty first line
MAPPED_WORDS = 1386

COMMON_TIER = 35  # SCOWL sizes up to 35 are the words of a small dictionary
ENGLISH_WORD_TIER = 35  # a token in these sizes is an ordinary English word
BASIC_TIER = 10  # the fill of the NG-word list comes from the smallest size
NAME_TIER = 70  # brand names must be known to SCOWL's name lists up to here
ABBREVIATION_TIER = 50
# A mark-up word this frequent in news prose (name tags aside) is a word of the news
# (TIME, AREA stay visible; LI, a surname there, does not). A word of SCOWL's small
# dictionary is English unless rarer than RARE_LIMIT in both news and general English
# (CLASS, STYLE, FUNCTION, WINDOW stay visible; NULL, UNDEFINED do not).
MARKUP_NEWS_LIMIT = 30
RARE_LIMIT = 5
NAME_TAGS = frozenset({"nnp", "nnps"})
# Tokens of addresses and file names that no source lists.
WEB_TOKENS = frozenset({"HTTP", "HTTPS", "WWW", "HTM", "HTML", "XHTML", "PHP", "ASP", "ASPX",
                        "JSP", "CGI", "CSS", "JS", "JSON", "XML", "RSS", "PNG", "JPG", "JPEG",
                        "GIF", "SVG", "WEBP", "ICO", "PDF", "UTF", "URL"}) | frozenset(
    "ON" + event for event in ("BLUR", "CHANGE", "CLICK", "ERROR", "FOCUS", "KEYDOWN", "KEYPRESS",
                               "KEYUP", "LOAD", "MOUSEDOWN", "MOUSEOUT", "MOUSEOVER", "MOUSEUP",
                               "RESIZE", "SCROLL", "SUBMIT", "UNLOAD"))  # ONCLICK ...
# Every abbreviation of a month or weekday a page may print.
DATE_ABBREVIATIONS = frozenset({"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP",
                                "SEPT", "OCT", "NOV", "DEC", "MON", "TUE", "TUES", "WED", "THU",
                                "THUR", "THURS", "FRI", "SAT", "SUN"})
MIN_MAPPED_LENGTH = 3
COMMON_NOUN_TAGS = frozenset({"nn", "nns"})  # proper nouns (nnp) mark names
JS_GLOBAL_ENVIRONMENTS = ("builtin",)


class NoiseSources:
    """Raw word sets for the NG-word list, all upper case."""

    def __init__(self, stopwords=(), html_tags=(), html_attributes=(), entities=(),
                 reserved_words=(), script_globals=(), abbreviations=(), brand_names=(),
                 known_names=(), listed_names=(), chrome_words=()):
        self.stopwords = set(stopwords)
        self.html_tags = set(html_tags)
        self.html_attributes = set(html_attributes)
        self.entities = set(entities)
        self.reserved_words = set(reserved_words)
        self.script_globals = set(script_globals)
        self.abbreviations = set(abbreviations)
        self.brand_names = set(brand_names)
        self.known_names = set(known_names)
        self.listed_names = set(listed_names)  # reviewed: tools/noise_words.txt
        self.chrome_words = set(chrome_words)  # reviewed: tools/noise_words.txt


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


def prose_count(lexicon, word):
    """The word's news count as anything but a name."""
    return sum(count for tag, count in lexicon.news.get(word, {}).items() if tag not in NAME_TAGS)


def is_language_word(lexicon, word):
    """An English word a page's text may use: in SCOWL's small dictionary and not
    all but absent from news prose and general English (NULL and UNDEFINED are),
    or frequent in news prose as anything but a name (LI is a surname there)."""
    news = prose_count(lexicon, word)
    if lexicon.tier(word) <= ENGLISH_WORD_TIER:
        return news >= RARE_LIMIT or lexicon.general_count(word) >= RARE_LIMIT
    return news >= MARKUP_NEWS_LIMIT


def markup_words(lexicon, sources):
    """Tag and entity names rare in news prose (TABLE, FONT, B, LI), attribute,
    keyword and global names that are no word of the language (HREF, TYPEOF, NULL,
    UNDEFINED), and address, file-name and event-handler tokens (HTTPS, PNG, ONCLICK)."""
    words = {word for word in sources.html_tags | sources.entities
             if prose_count(lexicon, word) < MARKUP_NEWS_LIMIT}  # TABLE, FONT, LI; not TIME
    for word in sources.html_attributes | sources.reserved_words | sources.script_globals:
        if not is_language_word(lexicon, word):
            words.add(word)
    return words | WEB_TOKENS


def name_words(lexicon, sources):
    """Abbreviations (MRS, CEO) that are no ordinary words; brand names SCOWL knows
    but the news lexicon never saw, the services younger than its news (YOUTUBE,
    GOOGLE), never places or firms the news report on (ICELAND, JORDAN, APPLE); and
    the reviewed names of news sites, agencies, portals and networks (REUTERS, AFP)."""
    words = set()
    for word in sources.abbreviations:
        if lexicon.tier(word) > ENGLISH_WORD_TIER:
            words.add(word)
    for word in sources.brand_names:
        if (word in sources.known_names and lexicon.tier(word) > ENGLISH_WORD_TIER
                and not lexicon.news.get(word)):
            words.add(word)
    return {word for word in words if len(word) >= 2} | sources.listed_names


def chrome_words(lexicon, sources):
    """The reviewed page-chrome words; one the news use often is an error to review."""
    frequent = sorted(word for word in sources.chrome_words
                      if prose_count(lexicon, word) >= MARKUP_NEWS_LIMIT)
    if frequent:
        raise ValueError("chrome words the news use often: %s" % ", ".join(frequent))
    return set(sources.chrome_words)


def ng_core(lexicon, sources, deny):
    words = (function_words(lexicon, sources) | markup_words(lexicon, sources)
             | name_words(lexicon, sources) | chrome_words(lexicon, sources) | DATE_ABBREVIATIONS)
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


def build_mapped_words(lexicon, mapping, ng_words, deny, count=MAPPED_WORDS):
    """The count base forms of highest news frequency, alphabetical."""
    inflected = inflected_forms(mapping)
    from_forms = news_frequency_with_forms(lexicon, mapping)
    candidates = [
        word for word in lexicon.tiers
        if lexicon.tier(word) <= COMMON_TIER and len(word) >= MIN_MAPPED_LENGTH
        and lexicon.is_lemma(word) and word not in inflected and word not in ng_words
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


def basic_score(lexicon, word, general_total, news_total):
    """The word's share of general English, discounted by how much more the news use
    it: DAY, MAN, GOOD rank high, ECONOMIC, COUNCIL, FISCAL low."""
    general = lexicon.general_count(word) / general_total
    news = max(lexicon.news_count(word), 1) / news_total
    return general * min(1.0, general / news)


def build_ng_words(lexicon, mapping, core, deny, count=NG_WORDS, spared=frozenset()):
    """The NG words, alphabetical: the core, then the most basic words of general
    English that are no inflected forms and not `spared` (news vocabulary), up to count."""
    if len(core) > count:
        raise ValueError("%d core NG words, more than the %d wanted" % (len(core), count))
    excluded = core | inflected_forms(mapping) | set(spared)
    basics = [word for word in lexicon.tiers
              if lexicon.tier(word) <= BASIC_TIER and len(word) >= 2 and has_vowel(word)
              and lexicon.general_count(word) > 0 and word not in excluded
              and deny.allows_word(word)]
    general_total = max(sum(lexicon.general.values()), 1)
    news_total = max(sum(lexicon.news_count(word) for word in lexicon.news), 1)
    basics.sort(key=lambda word: (-basic_score(lexicon, word, general_total, news_total), word))
    fill = count - len(core)
    if len(basics) < fill:
        raise ValueError("only %d basic words for %d places" % (len(basics), fill))
    return sorted(core | set(basics[:fill]))


def backed_basic_words(lexicon, reviewed, known_names):
    """The reviewed basic words that a general source backs as common: SCOWL's small
    dictionary, its name lists for the capitalised ones (MONDAY, JANUARY) or the
    frequent-word lists. One that none backs is an error to review."""
    unbacked = sorted(word for word in reviewed.basic
                      if lexicon.tier(word) > COMMON_TIER and word not in reviewed.frequent
                      and word not in known_names)
    if unbacked:
        raise ValueError("basic words no general source backs: %s" % ", ".join(unbacked))
    return set(reviewed.basic)


def place_words(lexicon, reviewed, known_names):
    """The reviewed place names and nationalities that SCOWL's name lists know and that
    are no ordinary word of its small dictionary (TURKEY, CHINA, JERSEY stay shown)."""
    return {word for word in reviewed.places
            if word in known_names and lexicon.tier(word) > ENGLISH_WORD_TIER}


def learner_words(lexicon, reviewed, known_names, deny):
    """What a learner is spared besides the core: every single letter, the backed basic
    words, the page labels and the place names."""
    words = (set(string.ascii_uppercase) | backed_basic_words(lexicon, reviewed, known_names)
             | reviewed.labels | place_words(lexicon, reviewed, known_names))
    return {word for word in words if deny.allows_word(word)}


def check_news_vocabulary_shown(ng_words, news_vocabulary):
    """Raises when the NG-word list would hide a word of the reviewed news vocabulary."""
    hidden = sorted(set(ng_words) & set(news_vocabulary))
    if hidden:
        raise ValueError("news words on the NG-word list: %s" % ", ".join(hidden))
