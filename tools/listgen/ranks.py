"""The frequency ranks of base forms (FREQUENCY_RANKS) and the made-up words of the
vocabulary check (MADE_UP_WORDS).

Ranks: every lower-case SCOWL word up to RANK_TIER and every word the news lexicon saw is
folded the program's way (fold.py over the built mapping dictionary) so that inflected forms
count as their base. Each base's count is its news count (Wall Street Journal) plus its
general count (WordNet's sense-tagged corpora), about a million running words together: too
few to tell rare words apart, so the count is smoothed towards what the word's SCOWL size
says (the posterior mean of a Poisson rate under a gamma prior of shape PRIOR_WEIGHT whose
mean is the size's typical frequency). Only bases that SCOWL lists as ordinary lower-case
words are ranked, so names and abbreviations are left out as reading research counts
vocabulary. The fold never reaches comparatives (PRETTIER, BIGGEST): they share their
adjective's line, its count with theirs, so that each line is one word as a learner knows it.
"""

import random

from . import fold, inflection

RANKED_WORDS = 25000
RANK_TIER = 70  # SCOWL sizes above this hold words too rare and odd to rank
# Typical frequency per million running words of the words of each SCOWL size (about the
# median count of the size's words in the two corpora), and how many occurrences that prior
# weighs: a word the corpora never saw falls to about half its size's typical frequency.
TIER_PRIOR = {10: 75.0, 20: 10.0, 35: 1.0, 40: 0.5, 50: 0.2, 55: 0.12, 60: 0.06, 70: 0.03}
PRIOR_WEIGHT = 1.0
# The news lexicon's tags of names: their counts are left out (Chevron is no word a learner
# meets as "chevron").
NAME_TAGS = frozenset({"nnp", "nnps"})

MADE_UP_COUNT = 200
MADE_UP_SEED = 37
MADE_UP_LENGTHS = (5, 9)  # shortest and longest, inclusive
MADE_UP_MODEL_TIER = 20
MAX_DRAWS_PER_WORD = 2000  # a model too small to give the words stops the generator   # made-up words follow the letter patterns of common words


def comparative_forms(adjective):
    """The regular comparative and superlative spellings of an adjective (none of one or two
    letters: IN is no INNER)."""
    if len(adjective) < 3:
        return []
    if adjective.endswith("E"):
        return [adjective + "R", adjective + "ST"]
    if len(adjective) > 2 and adjective.endswith("Y") and adjective[-2] not in "AEIOU":
        return [adjective[:-1] + "IER", adjective[:-1] + "IEST"]
    forms = [adjective + "ER", adjective + "EST"]
    if inflection.syllable_count(adjective) == 1 and \
            inflection.ends_consonant_vowel_consonant(adjective):
        forms += [adjective + adjective[-1] + "ER", adjective + adjective[-1] + "EST"]
    return forms


def comparatives_of(lexicon, adjectives, adjective_exceptions, lemmas):
    """Comparative -> adjective for the SCOWL words that are a WordNet adjective's regular or
    listed comparative and no lemma of their own (BETTER, FOREST, INNER and LATER stay words)."""
    found = {}
    candidates = [(form, adjective) for adjective in sorted(adjectives)
                  for form in comparative_forms(adjective)]
    candidates += [(form, bases[0]) for form, bases in adjective_exceptions]
    for form, adjective in candidates:
        if form in lexicon.tiers and form not in lemmas and adjective in lexicon.tiers:
            found.setdefault(form, adjective)
    return found


def base_frequencies(lexicon, pairs, comparatives=None):
    """Base -> smoothed frequency per million running words, over the folded tally with
    comparatives counted under their adjective."""
    comparatives = comparatives or {}
    news = {word: sum(count for tag, count in tags.items() if tag not in NAME_TAGS)
            for word, tags in lexicon.news.items()}
    raw = dict.fromkeys((w for w, tier in lexicon.tiers.items() if tier <= RANK_TIER), 0)
    raw.update(news)
    folded, _ = fold.fold(raw, dict(pairs))
    for form, adjective in comparatives.items():
        if form in folded and adjective in folded:
            folded[adjective] += folded.pop(form) + lexicon.general_count(form)
    millions = (sum(news.values()) + sum(lexicon.general.values())) / 1e6 or 1.0
    scores = {}
    for word, news_count in folded.items():
        tier = lexicon.tier(word)
        if tier > RANK_TIER:
            continue
        count = news_count + lexicon.general_count(word)
        scores[word] = (count + PRIOR_WEIGHT) / (millions + PRIOR_WEIGHT / TIER_PRIOR[tier])
    return scores


def frequency_ranks(lexicon, pairs, deny, comparatives=None, count=RANKED_WORDS):
    """The `count` best-scored bases, most frequent first (ties: SCOWL size, then the shorter
    word, as shorter words are the more frequent, then the alphabet), each as a list of the
    base followed by its comparatives."""
    comparatives = comparatives or {}
    scores = base_frequencies(lexicon, pairs, comparatives)
    words = [word for word in scores if deny.allows_word(word)]
    words.sort(key=lambda word: (-scores[word], lexicon.tier(word), len(word), word))
    forms_of = {}
    for form, adjective in sorted(comparatives.items()):
        if form not in scores and deny.allows_word(form):
            forms_of.setdefault(adjective, []).append(form)
    return [[word] + forms_of.get(word, []) for word in words[:count]]


def _letter_model(words):
    """Next-letter choices after every two letters ("^" pads the start, "$" ends)."""
    model = {}
    for word in sorted(words):
        padded = "^^" + word + "$"
        for index in range(2, len(padded)):
            model.setdefault(padded[index - 2:index], []).append(padded[index])
    return model


def _draw_word(model, rng):
    text = "^^"
    while len(text) < MADE_UP_LENGTHS[1] + 3:
        letter = rng.choice(model[text[-2:]])
        if letter == "$":
            return text[2:]
        text += letter
    return None


# Endings the dictionary's spelling rules take off to find a base (harder -> hard,
# oddity -> odd): a made-up word with one on a real word would be looked up as that word.
DERIVATION_ENDINGS = ("ATION", "NESS", "MENT", "IEST", "ITY", "IER", "EST", "ERS", "ILY", "LY",
                      "ER", "OR", "Y")


def looks_inflected(word, real_words):
    """Whether the program's fold could read the word as a form of a real word, or it ends
    as an inflection would, or the dictionary's spelling rules would find a real word under
    a derivational ending: a made-up word must stand alone."""
    if word.endswith(("S", "ED", "ING")):
        return True
    if any(base in real_words for base in (fold.rule_base(word), fold.fallback_base(word))
           if base):
        return True
    for ending in DERIVATION_ENDINGS:
        stem = word[:-len(ending)]
        if word.endswith(ending) and len(stem) >= 3:
            candidates = {stem, stem + "E", stem[:-1] + "Y", stem[:-1] if stem[-1:] == stem[-2:-1]
                          else stem}
            if candidates & real_words:
                return True
    return False


def one_edit_away(word, words):
    """Whether a letter dropped, added, changed or two neighbours swapped make `word` one of
    `words`: such a word reads as a misspelling (TRUBLE), which a learner rightly knows."""
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    for index in range(len(word) + 1):
        head, tail = word[:index], word[index:]
        if tail and head + tail[1:] in words:
            return True
        if len(tail) > 1 and head + tail[1] + tail[0] + tail[2:] in words:
            return True
        for letter in letters:
            if head + letter + tail in words or (tail and head + letter + tail[1:] in words
                                                 and letter != tail[0]):
                return True
    return False


def made_up_words(lexicon, real_words, count=MADE_UP_COUNT, seed=MADE_UP_SEED):
    """`count` words drawn from the letter patterns of common SCOWL words that no source,
    list or dictionary knows (`real_words`, upper case), that are no misspelling of one, in
    the order drawn."""
    model = _letter_model(w for w, tier in lexicon.tiers.items() if tier <= MADE_UP_MODEL_TIER)
    rng = random.Random(seed)
    chosen = []
    seen = set()
    for _ in range(count * MAX_DRAWS_PER_WORD):
        if len(chosen) == count:
            return chosen
        word = _draw_word(model, rng)
        if (word is None or word in seen or word in real_words
                or not MADE_UP_LENGTHS[0] <= len(word) <= MADE_UP_LENGTHS[1]
                or looks_inflected(word, real_words) or one_edit_away(word, real_words)):
            continue
        seen.add(word)
        chosen.append(word)
    if len(chosen) < count:
        raise ValueError("only %d made-up words found, %d wanted" % (len(chosen), count))
    return chosen
