"""A copy of the program's inflection fold (src/text/inflection_normalizer.cpp).

The generator runs it over its candidates instead of guessing what the program
will do with them. tests/test_fold.py checks it against the program's own fold
through tools/fold_probe.cpp when CTest hands over that probe.
"""

# The suffix rules in the program's order: only the first match is tried.
SUFFIX_RULES = (("IES", "Y"), ("MMING", "M"), ("NNING", "N"), ("IED", "Y"), ("PPED", "P"),
                ("PPING", "P"), ("ED", ""), ("S", ""), ("ING", ""))
# Tried only when the rule's result is not attested; only the first fitting one.
FALLBACK_SUFFIXES = ("ED", "ING")
FALLBACK_ENDING = "E"


def _stem(word, suffix):
    if len(word) > len(suffix) and word.endswith(suffix):
        return word[:-len(suffix)]
    return None


def rule_base(word):
    """The first suffix rule's result, or None when no rule matches."""
    for suffix, replacement in SUFFIX_RULES:
        stem = _stem(word, suffix)
        if stem is not None:
            return stem + replacement
    return None


def fallback_base(word):
    """The stem of ED (else ING) with E put back, or None."""
    for suffix in FALLBACK_SUFFIXES:
        stem = _stem(word, suffix)
        if stem is not None:
            return stem + FALLBACK_ENDING
    return None


def fold(raw, dictionary):
    """(result tally, learned pairs) for a raw tally {word: count}, as the program folds.

    One pass in byte order; a dictionary word moves its raw count onto its base
    (a self-mapping thus resets it), others try the rule, then the fallback,
    against the raw tally's keys. `dictionary` is not changed.
    """
    result = dict(raw)
    learned = {}
    for word in sorted(raw, key=lambda text: text.encode("ascii")):
        count = raw[word]
        if word in dictionary:
            result.pop(word, None)
            base = dictionary[word]
            result[base] = result.get(base, 0) + count
            continue
        base = rule_base(word)
        if base is None:
            continue
        if base not in raw:
            base = fallback_base(word)
            if base is None or base not in raw:
                continue
        result.pop(word, None)
        result[base] = result.get(base, 0) + count
        learned[word] = base
    return result, learned
