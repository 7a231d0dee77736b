"""Builds the mapping dictionary: inflected form -> base form pairs.

Candidates are WordNet's irregular forms plus regular readings that the
producer confirms (see inflection.py). Rules then drop pairs that are spelled
right but wrong in meaning, the pairs are ranked by how common the form is,
and the list is cut to its fixed size.
"""

import string

from . import fold, inflection
from .inflection import ING, PAST, PLURAL, THIRD, VERB_FORM

MAPPING_LINES = 24244
TWO_BASE_FORMS = 38
FIRST_BASE = "ABACUS"  # bases sorting before it (AARDVARK, ...) are dropped

# News-lexicon tags that show a form really is the inflection in question.
INFLECTION_TAGS = {
    PLURAL: frozenset({"nns", "nnps"}),
    THIRD: frozenset({"vbz"}),
    PAST: frozenset({"vbd", "vbn"}),
    ING: frozenset({"vbg"}),
    VERB_FORM: frozenset({"vbd", "vbn", "vbg", "vbz", "vbp"}),
}

# Tags whose dominant words are pronouns, determiners and conjunctions: as a
# base they only yield accidents (ITS -> IT, USES -> US, HES -> HE).
# Prepositions are left out on purpose: INSIDES, PLUSES, OVERS are real plurals.
FUNCTION_BASE_TAGS = frozenset({"cc", "dt", "ex", "pdt", "pos", "prp", "to", "wdt", "wp", "wrb"})


def collect_candidates(lexicon):
    """form -> {base: set of inflection kinds}, before any rejection.

    Forms must be SCOWL words, so every form has a commonness tier.
    """
    candidates = {}

    def add(form, base, kind):
        candidates.setdefault(form, {}).setdefault(base, set()).add(kind)

    for form in lexicon.tiers:
        for base, kinds in inflection.regular_pairs(form, lexicon.nouns, lexicon.verbs).items():
            for kind in kinds:
                add(form, base, kind)
    for exceptions, lemmas, kind in ((lexicon.noun_exceptions, lexicon.nouns, PLURAL),
                                     (lexicon.verb_exceptions, lexicon.verbs, VERB_FORM)):
        for form, bases in exceptions:
            if form not in lexicon.tiers:
                continue
            for base in bases:
                if base in lemmas and base != form:
                    add(form, base, kind)
    return candidates


def is_function_base(lexicon, base):
    """A pronoun, determiner or conjunction, unless it is also a verb."""
    return lexicon.dominant_tag(base) in FUNCTION_BASE_TAGS and base not in lexicon.verbs


def news_confirms(lexicon, form, kinds):
    """False when the news lexicon knows the form but never as this inflection.

    HAS is never a plural (HAS -> HA), BED never a past (BED -> BE), EVENING
    never a participle (EVENING -> EVEN). A form the lexicon never saw passes.
    """
    tags = lexicon.news_tags(form)
    if not tags:
        return True
    return any(tags & INFLECTION_TAGS[kind] for kind in kinds)


def rejection_reason(lexicon, deny, form, base, kinds):
    """Why the pair is dropped, or None to keep it."""
    if len(base) < 2:
        return "one-letter base"
    if base < FIRST_BASE:
        return "base before " + FIRST_BASE
    if lexicon.tier(base) > lexicon.tier(form):
        return "base rarer than form"
    if is_function_base(lexicon, base):
        return "function-word base"
    if not news_confirms(lexicon, form, kinds):
        return "news lexicon never tags the form so"
    if not deny.allows_pair(form, base):
        return "deny list"
    return None


# Tags of a form used as a word of its own rather than as a verb form.
OWN_WORD_TAGS = frozenset({"nn", "nnp", "nnps", "jj"})

SELF_MAPPING_TIER = 35  # SCOWL sizes up to here are common words
SELF_MAPPING_NEWS = 20  # and so is any word the news lexicon counts this often
NEWS_EVIDENCE = 5  # fewer news tags than this say nothing about how a form is used


def reading_support(lexicon, form, kinds):
    """How often the news lexicon tags the form as one of these inflections."""
    tags = set().union(*(INFLECTION_TAGS[kind] for kind in kinds))
    return sum(count for tag, count in lexicon.news.get(form, {}).items() if tag in tags)


def is_homograph(lexicon, form, readings):
    """True when the news lexicon mostly uses a verb form as a noun, adjective or name
    (GROUND, not GRIND; FED, the bank; MEETING, INTERESTING): the form is then no
    inflection to fold. `readings` is {base: kinds}; plural readings keep the form."""
    if any(PLURAL in kinds for kinds in readings.values()):
        return False
    return _mostly_own_word(lexicon, form, max(
        reading_support(lexicon, form, kinds) for kinds in readings.values()))


def _mostly_own_word(lexicon, form, support):
    """The news uses the form as a noun, adjective or name, clearly more often than
    as an inflection tagged `support` times."""
    own = sum(count for tag, count in lexicon.news.get(form, {}).items() if tag in OWN_WORD_TAGS)
    return own >= NEWS_EVIDENCE and own > support


def accepted_pairs(lexicon, deny):
    """form -> list of accepted bases, the reading the news supports most first
    (of two equally supported ones, the one sorting later)."""
    accepted = {}
    for form, bases in collect_candidates(lexicon).items():
        kept = {base: kinds for base, kinds in bases.items()
                if rejection_reason(lexicon, deny, form, base, kinds) is None}
        if kept and not is_homograph(lexicon, form, kept):
            support = {base: reading_support(lexicon, form, kinds) for base, kinds in kept.items()}
            ranked = sorted(kept, key=lambda base: (-support[base], _base_rank(lexicon, base)))
            if len(ranked) >= 2 and support[ranked[0]] == support[ranked[1]]:
                # Equally supported readings: the one whose line comes later wins in the
                # program, so it is the one kept when the form gets a single line too.
                ranked[:2] = sorted(ranked[:2], reverse=True)
            accepted[form] = ranked
    return accepted


def _base_rank(lexicon, base):
    return (lexicon.tier(base), -lexicon.news_count(base), -lexicon.general_count(base), base)


def _form_rank(lexicon, form, bases):
    """Commonness tier first, then news frequency, then general frequency.

    Within one tier most rare forms have neither frequency; how common the
    best base is then decides before the alphabet does.
    """
    best = bases[0]
    general = max(lexicon.general_count(base) for base in bases)
    return (lexicon.tier(form), -lexicon.news_count(form), -general, lexicon.tier(best),
            -lexicon.news_count(best), form)


def is_common(lexicon, word):
    return lexicon.tier(word) <= SELF_MAPPING_TIER or lexicon.news_count(word) >= SELF_MAPPING_NEWS


def is_plausible_base(lexicon, word, target):
    """True when English spelling regularly inflects the noun or verb `target` into
    `word` and the news lexicon, if it knows the word well enough, uses it as that
    inflection (ABDUCTED -> ABDUCT; not NEWS -> NEW, EVENING -> EVEN, FEED -> FEE,
    POLITICS -> POLITIC, an adjective)."""
    if len(target) < 2:
        return False  # as for the pairs: one letter is never a base (MS -> M, TED -> T)
    for kind in (PLURAL, THIRD, PAST, ING):
        lemmas = lexicon.nouns if kind == PLURAL else lexicon.verbs
        if target in lemmas and word in inflection.regular_forms(target, kind):
            support = reading_support(lexicon, word, {kind})
            if lexicon.news_count(word) < NEWS_EVIDENCE or (
                    support and not _mostly_own_word(lexicon, word, support)):
                return True
    return False


def wrong_targets(lexicon, word, deny):
    """What the program's suffix rule and fallback make of `word` that is not its base
    (not a noun or verb that spelling regularly inflects into it, or a pair the deny
    list refuses). The fallback only counts when the rule already goes wrong: it is
    tried only in runs that lack the rule's result, which is then the base."""
    def is_wrong(target):
        return not deny.allows_pair(word, target) or not is_plausible_base(lexicon, word, target)

    rule = fold.rule_base(word)
    if rule is None or not is_wrong(rule):
        return set()
    fallback = fold.fallback_base(word)
    return {rule} | ({fallback} if fallback is not None and is_wrong(fallback) else set())


def self_mapped_words(lexicon, accepted, deny, names=frozenset(), real_words=frozenset(),
                      kept_forms=frozenset()):
    """Common words that are no inflection of the dictionary but that a suffix rule or
    fallback of the program would fold onto something that is not their base: onto a
    real word (NEWS -> NEW, THING -> THE, FEED -> FEE, SING -> S), onto whatever token
    a page holds (CLASS -> CLAS), or onto a base the deny list refuses (MEANS -> MEAN).
    Their own entry keeps them away from the rules. So do names and abbreviations
    that the rules would fold onto a real word (KANSAS -> KANSA, TED -> T). Inflections
    of denied words get no entry."""
    words = set()
    for word in set(lexicon.tiers) | set(lexicon.news) | set(names) | set(kept_forms):
        if word in accepted or not deny.allows_word(word):
            continue
        wrong = wrong_targets(lexicon, word, deny)
        if not wrong or not wrong.isdisjoint(deny.words):
            continue
        if (is_common(lexicon, word) or word in kept_forms
                or (word in names and wrong & real_words)):
            words.add(word)
    return words


def _byte_key(word):
    return word.encode("ascii")


def settle_entries(lexicon, accepted, deny, real_words, names=frozenset(),
                   kept_forms=frozenset()):
    """The self-mapped words, after settling what the fold's order would lose.

    The program folds in byte order, and a dictionary word drops what was moved
    onto it before: a form sorting before its base (CRISES, CRISIS; SANG, SING)
    loses its count when the base has an entry of its own. The base then goes
    without its entry when the rules could only fold it onto a non-word (CRISIS
    -> CRISI); otherwise the form goes without its pair and stays a word of its
    own (SANG beside SING SING, LAID beside LAY LIE). Changes `accepted`."""
    yielding = set()
    while True:
        self_mapped = self_mapped_words(lexicon, accepted, deny, names, real_words,
                                        kept_forms) - yielding
        changed = False
        for form in sorted(accepted, key=_byte_key):
            base = accepted[form][0]
            if _byte_key(form) > _byte_key(base) or (
                    base not in self_mapped and base not in accepted):
                continue
            if base in self_mapped and not wrong_targets(lexicon, base, deny) & real_words:
                yielding.add(base)
            else:
                del accepted[form]
            changed = True
        if not changed:
            return self_mapped


def select_pairs(lexicon, accepted, self_mapped=(), lines=MAPPING_LINES,
                 two_base_forms=TWO_BASE_FORMS):
    """The (form, base) lines of the dictionary, sorted by base, then form.

    Every self-mapped word gets its line. The best-ranked forms with two or
    more bases whose best base sorts after the second (the later line wins
    when the program loads them) keep both; every other form keeps its best
    base, down the ranking until the line count is reached.
    """
    ranked = sorted(accepted, key=lambda form: _form_rank(lexicon, form, accepted[form]))
    doubled = [form for form in ranked
               if len(accepted[form]) >= 2 and accepted[form][0] > accepted[form][1]]
    doubled = doubled[:two_base_forms]
    if len(doubled) < two_base_forms:
        raise ValueError("only %d forms have two bases" % len(doubled))
    # The dictionary starts with ABACUSES ABACUS: ABACUS's own line would come first.
    chosen = [(word, word) for word in sorted(self_mapped) if word > FIRST_BASE]
    chosen += [(form, base) for form in doubled for base in accepted[form][:2]]
    doubled_set = set(doubled)
    for form in ranked:
        if len(chosen) >= lines:
            break
        if form not in doubled_set:
            chosen.append((form, accepted[form][0]))
    if len(chosen) != lines:
        raise ValueError("only %d pairs available, %d wanted" % (len(chosen), lines))
    return sorted(chosen, key=lambda pair: (pair[1], pair[0]))


def build_mapping(lexicon, deny, names=frozenset(), lines=MAPPING_LINES,
                  two_base_forms=TWO_BASE_FORMS, kept_forms=frozenset()):
    """The dictionary's pairs. `names` are the names and abbreviations a page may
    hold besides the lexicon's words; `kept_forms` (also fixed in `deny`) get a line of
    their own whenever a rule would fold them, however rare they are."""
    accepted = accepted_pairs(lexicon, deny)
    real_words = set(names) | set(lexicon.tiers) | set(lexicon.news) | set(string.ascii_uppercase)
    self_mapped = settle_entries(lexicon, accepted, deny, real_words, names, kept_forms)
    return select_pairs(lexicon, accepted, self_mapped, lines, two_base_forms)
