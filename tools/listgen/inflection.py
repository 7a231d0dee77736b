"""Regular English inflection: WordNet's detachment rules and their inverse.

WordNet finds a base form by stripping a suffix (morphy's detachment rules).
Those rules over-generate: HOPED gives HOP as readily as HOPE. The producer
below runs the other way, from a base to the forms English spelling regularly
gives it, and a pair is kept only when both directions agree.

All words are upper case A-Z.
"""

PLURAL = "plural"  # noun plural
THIRD = "third"  # verb third person singular
PAST = "past"  # verb past tense or past participle
ING = "ing"  # verb present participle
VERB_FORM = "verb form"  # an irregular verb form of any tense (RAN, WAS, ARE)

# WordNet's morphy detachment rules (suffix, replacement), nouns and verbs.
NOUN_RULES = (("S", ""), ("SES", "S"), ("XES", "X"), ("ZES", "Z"), ("CHES", "CH"),
              ("SHES", "SH"), ("MEN", "MAN"), ("IES", "Y"))
VERB_RULES = (("S", ""), ("IES", "Y"), ("ES", "E"), ("ES", ""), ("ED", "E"), ("ED", ""),
              ("ING", "E"), ("ING", ""))

_VOWELS = "AEIOU"
_NEVER_DOUBLED = "WXY"  # SNOWED, FIXED, PLAYED
_SIBILANT_ENDINGS = ("S", "X", "Z", "CH", "SH")


def _is_vowel(word, index):
    letter = word[index]
    if letter == "U" and index > 0 and word[index - 1] == "Q":
        return False  # the U of QU is heard as a consonant: QUIT, QUIZ
    if letter in _VOWELS:
        return True
    # Y after a consonant is a vowel (GYM, CRY); at the start or after a vowel
    # it is a consonant (YAP, PLAY).
    return letter == "Y" and index > 0 and not _is_vowel(word, index - 1)


def syllable_count(word):
    """Number of vowel groups, a spelling-level stand-in for syllables."""
    count = 0
    previous_vowel = False
    for index in range(len(word)):
        vowel = _is_vowel(word, index)
        if vowel and not previous_vowel:
            count += 1
        previous_vowel = vowel
    return count


def ends_consonant_vowel_consonant(word):
    """True when the word ends in one vowel between consonants (HOP, QUIT, UP).

    A final W, X or Y never counts, since English never doubles them.
    """
    if len(word) < 2 or word[-1] in _NEVER_DOUBLED or _is_vowel(word, len(word) - 1):
        return False
    if not _is_vowel(word, len(word) - 2):
        return False
    return len(word) == 2 or not _is_vowel(word, len(word) - 3)


def _with_suffix_doubling(base, suffix):
    """Forms of base + a vowel-initial suffix (-ED, -ING) as spelling allows.

    One-syllable CVC words always double (STOPPED, never STOPED; so HOPED
    cannot come from HOP). Longer CVC words double when the last syllable is
    stressed (PREFERRED) and not otherwise (VISITED); spelling cannot tell
    which, so both are regular.
    """
    plain = base + suffix
    if not ends_consonant_vowel_consonant(base):
        return {plain}
    doubled = base + base[-1] + suffix
    if syllable_count(base) == 1:
        return {doubled}
    return {plain, doubled}


def _ends_consonant_y(base):
    return len(base) >= 2 and base[-1] == "Y" and base[-2] not in _VOWELS


def _s_forms(base):
    if base.endswith(_SIBILANT_ENDINGS):
        forms = {base + "ES"}
        if base[-1] in "SZ" and syllable_count(base) == 1 and ends_consonant_vowel_consonant(base):
            forms.add(base + base[-1] + "ES")  # QUIZZES, GASSES
        return forms
    if _ends_consonant_y(base):
        return {base[:-1] + "IES"}
    if base.endswith("O"):
        return {base + "S", base + "ES"}  # PIANOS, POTATOES
    return {base + "S"}


def _past_forms(base):
    if base.endswith("E"):
        return {base + "D"}
    if _ends_consonant_y(base):
        return {base[:-1] + "IED"}
    return _with_suffix_doubling(base, "ED")


def _ing_forms(base):
    if base.endswith("IE"):
        return {base[:-2] + "YING"}  # DIE -> DYING
    if base.endswith(("EE", "OE", "YE")):
        return {base + "ING"}  # SEEING, HOEING, DYEING
    if base.endswith("E"):
        stem = base[:-1]
        if syllable_count(stem) == 0:
            return {base + "ING"}  # BE -> BEING
        return {stem + "ING"}  # MAKE -> MAKING
    return _with_suffix_doubling(base, "ING")


def regular_forms(base, kind):
    """The set of forms that English spelling regularly gives base for kind."""
    if kind == PLURAL:
        if base.endswith("SIS"):
            return {base[:-2] + "ES"}  # Greek nouns: CRISIS -> CRISES, never CRISISES
        forms = _s_forms(base)
        if base.endswith("MAN") and len(base) > 3:
            forms.add(base[:-3] + "MEN")  # WOMAN -> WOMEN; HUMANS stays possible
        return forms
    if kind == THIRD:
        return _s_forms(base)
    if kind == PAST:
        return _past_forms(base)
    if kind == ING:
        return _ing_forms(base)
    raise ValueError("unknown inflection kind: %r" % (kind,))


def _verb_kind(suffix):
    if suffix == "ING":
        return ING
    if suffix == "ED":
        return PAST
    return THIRD


def detach(form, nouns, verbs):
    """(base, kind) for every WordNet rule whose result is a known lemma.

    These are only candidates; regular_pairs() keeps those the producer
    confirms.
    """
    found = []
    for rules, lemmas, is_noun in ((NOUN_RULES, nouns, True), (VERB_RULES, verbs, False)):
        for suffix, replacement in rules:
            if len(form) > len(suffix) and form.endswith(suffix):
                base = form[:-len(suffix)] + replacement
                if base in lemmas:
                    found.append((base, PLURAL if is_noun else _verb_kind(suffix)))
    return found


def regular_pairs(form, nouns, verbs):
    """{base: set of kinds} of the regular readings of form."""
    pairs = {}
    for base, kind in detach(form, nouns, verbs):
        if base != form and form in regular_forms(base, kind):
            pairs.setdefault(base, set()).add(kind)
    return pairs


