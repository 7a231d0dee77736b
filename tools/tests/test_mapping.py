import unittest

from listgen import mapping
from listgen.denylist import DenyList
from listgen.inflection import PAST, PLURAL, THIRD, VERB_FORM

from .lexicon_fixture import make_lexicon


def reason(lexicon, form, base, kinds, deny=DenyList()):
    return mapping.rejection_reason(lexicon, deny, form, base, set(kinds))


class RejectionTest(unittest.TestCase):
    def test_keeps_a_plain_regular_pair(self):
        lexicon = make_lexicon(tiers={"CARS": 10, "CAR": 10}, news={"CARS": {"nns": 40}})
        self.assertIsNone(reason(lexicon, "CARS", "CAR", [PLURAL]))

    def test_one_letter_bases_and_bases_before_abacus(self):
        lexicon = make_lexicon(tiers={"AS": 10, "A": 10, "AARDVARKS": 50, "AARDVARK": 50})
        self.assertEqual(reason(lexicon, "AS", "A", [PLURAL]), "one-letter base")
        self.assertEqual(reason(lexicon, "AARDVARKS", "AARDVARK", [PLURAL]),
                         "base before ABACUS")

    def test_base_rarer_than_form(self):
        lexicon = make_lexicon(tiers={"SPECIES": 20, "SPECIE": 50, "MOUSE": 10, "MICE": 20})
        self.assertEqual(reason(lexicon, "SPECIES", "SPECIE", [PLURAL]), "base rarer than form")
        self.assertIsNone(reason(lexicon, "MICE", "MOUSE", [PLURAL]))

    def test_news_lexicon_must_know_the_form_as_the_inflection(self):
        lexicon = make_lexicon(
            tiers={"HAS": 10, "HA": 10, "EVENING": 10, "EVEN": 10, "BED": 10, "BE": 10},
            news={"HAS": {"vbz": 3000}, "EVENING": {"nn": 50}, "BED": {"nn": 10}})
        self.assertEqual(reason(lexicon, "HAS", "HA", [PLURAL]),
                         "news lexicon never tags the form so")
        self.assertEqual(reason(lexicon, "BED", "BE", [PAST]),
                         "news lexicon never tags the form so")
        self.assertEqual(reason(lexicon, "EVENING", "EVEN", ["ing"]),
                         "news lexicon never tags the form so")

    def test_a_form_the_news_never_saw_passes_and_any_kind_may_confirm(self):
        lexicon = make_lexicon(tiers={"ABSEILS": 70, "ABSEIL": 70, "USES": 10, "USE": 10},
                               news={"USES": {"vbz": 9}})
        self.assertIsNone(reason(lexicon, "ABSEILS", "ABSEIL", [THIRD]))
        self.assertIsNone(reason(lexicon, "USES", "USE", [PLURAL, THIRD]))

    def test_pronoun_bases_but_not_verbs_that_are_often_prepositions(self):
        lexicon = make_lexicon(
            tiers={"USES": 10, "US": 10, "LIKES": 10, "LIKE": 10}, verbs={"LIKE"},
            news={"US": {"prp": 184, "nnp": 8}, "LIKE": {"in": 900, "vb": 300},
                  "USES": {"nns": 50}, "LIKES": {"vbz": 20}})
        self.assertEqual(reason(lexicon, "USES", "US", [PLURAL]), "function-word base")
        self.assertIsNone(reason(lexicon, "LIKES", "LIKE", [THIRD]))

    def test_deny_list_pairs_and_words(self):
        lexicon = make_lexicon(tiers={"PHYSICS": 20, "PHYSIC": 20})
        self.assertEqual(reason(lexicon, "PHYSICS", "PHYSIC", [PLURAL],
                                DenyList(pairs={("PHYSICS", "PHYSIC")})), "deny list")
        self.assertEqual(reason(lexicon, "PHYSICS", "PHYSIC", [PLURAL],
                                DenyList(words={"PHYSIC"})), "deny list")


class CandidateTest(unittest.TestCase):
    def test_exception_lists_need_a_scowl_form_and_a_wordnet_base(self):
        lexicon = make_lexicon(
            tiers={"RAN": 10, "MICE": 20, "CARS": 10},
            nouns={"MOUSE", "CAR", "ABACUS"}, verbs={"RUN"},
            noun_exceptions=[("MICE", ["MOUSE"]), ("ABACI", ["ABACUS"])],
            verb_exceptions=[("RAN", ["RUN", "RANN"])])
        self.assertEqual(mapping.collect_candidates(lexicon), {
            "RAN": {"RUN": {VERB_FORM}},
            "MICE": {"MOUSE": {PLURAL}},
            "CARS": {"CAR": {PLURAL}},
        })


class SelectionTest(unittest.TestCase):
    def setUp(self):
        self.lexicon = make_lexicon(
            tiers={"LIVES": 10, "BASES": 10, "CARS": 10, "CATS": 10, "DOGS": 20, "AXES": 20},
            news={"CARS": {"nns": 90}, "CATS": {"nns": 5}, "LIVES": {"nns": 30},
                  "BASES": {"nns": 20}})
        # Best base first: LIVE sorts after LIFE, so its line wins; BASE's would not.
        self.accepted = {"LIVES": ["LIVE", "LIFE"], "BASES": ["BASE", "BASIS"], "CARS": ["CAR"],
                         "CATS": ["CAT"], "DOGS": ["DOG"], "AXES": ["AXIS", "AXE"]}

    def test_two_lines_only_where_the_best_base_comes_later_then_self_lines_and_the_fill(self):
        pairs = mapping.select_pairs(self.lexicon, self.accepted, self_mapped={"NEWS"}, lines=6,
                                     two_base_forms=1)
        self.assertEqual(pairs, [("BASES", "BASE"), ("CARS", "CAR"), ("CATS", "CAT"),
                                 ("LIVES", "LIFE"), ("LIVES", "LIVE"), ("NEWS", "NEWS")])

    def test_too_few_pairs_or_two_base_forms_is_an_error(self):
        with self.assertRaises(ValueError):
            mapping.select_pairs(self.lexicon, self.accepted, lines=100, two_base_forms=1)
        with self.assertRaises(ValueError):
            mapping.select_pairs(self.lexicon, self.accepted, lines=6, two_base_forms=3)


class ReadingTest(unittest.TestCase):
    def test_the_best_supported_reading_first_and_of_equal_ones_the_later(self):
        lexicon = make_lexicon(
            tiers={w: 10 for w in ("LIVES", "LIFE", "LIVE", "AXES", "AXE", "AXIS")},
            nouns={"LIFE", "AXE", "AXIS"}, verbs={"LIVE", "AXE"},
            noun_exceptions=[("LIVES", ["LIFE"]), ("AXES", ["AXIS"])],
            news={"LIVES": {"nns": 22, "vbz": 13}})
        accepted = mapping.accepted_pairs(lexicon, DenyList())
        self.assertEqual(accepted["LIVES"], ["LIFE", "LIVE"])
        self.assertEqual(accepted["AXES"][:2], ["AXIS", "AXE"])

    def test_a_verb_form_used_mostly_as_a_noun_or_name_is_no_inflection(self):
        news = {"GROUND": {"nn": 45, "vbd": 2}, "FED": {"nnp": 175, "vbn": 8},
                "LEFT": {"jj": 9, "vbd": 68}, "TIRED": {"jj": 4, "vbn": 1},
                "SHIPS": {"nnp": 40, "nns": 30}}
        lexicon = make_lexicon(news=news)
        for form, base, kinds, expected in (("GROUND", "GRIND", {VERB_FORM}, True),
                                            ("FED", "FEED", {VERB_FORM}, True),
                                            ("LEFT", "LEAVE", {VERB_FORM}, False),
                                            ("TIRED", "TIRE", {PAST}, False),  # too few tags
                                            ("SHIPS", "SHIP", {PLURAL, THIRD}, False)):
            self.assertEqual(mapping.is_homograph(lexicon, form, {base: kinds}), expected, form)


class SelfMappingTest(unittest.TestCase):
    def setUp(self):
        self.lexicon = make_lexicon(
            tiers={w: 10 for w in ("NEWS", "NEW", "CLASS", "THING", "CARS", "CAR", "FEED", "FEE",
                                   "ABDUCTED", "ABDUCT", "CRISES", "CRISIS", "SANG", "SING",
                                   "RUN", "MEANS", "MEAN")},
            nouns={"CAR", "FEE", "CRISIS", "MEAN"}, verbs={"FEE", "ABDUCT", "SING", "MEAN"},
            news={"NEWS": {"nn": 90}, "FEED": {"nn": 20, "vb": 9}, "ABDUCTED": {"nn": 2},
                  "CARS": {"nns": 50}, "MEANS": {"vbz": 82, "nn": 6}})

    def test_common_words_the_rules_would_fold_onto_no_base_of_theirs(self):
        accepted = {"CARS": ["CAR"], "CRISES": ["CRISIS"], "SANG": ["SING"]}
        deny = DenyList(pairs={("MEANS", "MEAN")})
        self.assertEqual(mapping.self_mapped_words(self.lexicon, accepted, deny),
                         {"NEWS", "CLASS", "THING", "FEED", "CRISIS", "SING", "MEANS"})

    def test_a_form_before_its_base_keeps_its_pair_only_when_the_base_can_yield(self):
        accepted = {"CARS": ["CAR"], "CRISES": ["CRISIS"], "SANG": ["SING"]}
        self_mapped = mapping.settle_entries(self.lexicon, accepted, DenyList(),
                                             real_words={"S", "NEW", "THE", "FEE"})
        self.assertEqual(accepted, {"CARS": ["CAR"], "CRISES": ["CRISIS"]})
        self.assertIn("SING", self_mapped)
        self.assertNotIn("CRISIS", self_mapped)


if __name__ == "__main__":
    unittest.main()
