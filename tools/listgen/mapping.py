"""Builds the mapping dictionary: inflected form -> base form pairs.

Candidates are WordNet's irregular forms plus regular readings that the
producer confirms (see inflection.py). Rules then drop pairs that are spelled
right but wrong in meaning, the pairs are ranked by how common the form is,
and the list is cut to its fixed size.
"""

from . import inflection
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


def accepted_pairs(lexicon, deny):
    """form -> sorted list of accepted bases, best base first."""
    accepted = {}
    for form, bases in collect_candidates(lexicon).items():
        kept = [base for base, kinds in bases.items()
                if rejection_reason(lexicon, deny, form, base, kinds) is None]
        if kept:
            accepted[form] = sorted(kept, key=lambda base: _base_rank(lexicon, base))
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


def select_pairs(lexicon, accepted, lines=MAPPING_LINES, two_base_forms=TWO_BASE_FORMS):
    """The (form, base) lines of the dictionary, sorted by base, then form.

    The best-ranked forms with two or more bases keep their two best bases;
    every other form keeps its best base, down the ranking until the line
    count is reached.
    """
    ranked = sorted(accepted, key=lambda form: _form_rank(lexicon, form, accepted[form]))
    doubled = [form for form in ranked if len(accepted[form]) >= 2][:two_base_forms]
    if len(doubled) < two_base_forms:
        raise ValueError("only %d forms have two bases" % len(doubled))
    chosen = [(form, base) for form in doubled for base in accepted[form][:2]]
    doubled_set = set(doubled)
    for form in ranked:
        if len(chosen) >= lines:
            break
        if form not in doubled_set:
            chosen.append((form, accepted[form][0]))
    if len(chosen) != lines:
        raise ValueError("only %d pairs available, %d wanted" % (len(chosen), lines))
    return sorted(chosen, key=lambda pair: (pair[1], pair[0]))


def build_mapping(lexicon, deny, lines=MAPPING_LINES, two_base_forms=TWO_BASE_FORMS):
    return select_pairs(lexicon, accepted_pairs(lexicon, deny), lines, two_base_forms)
