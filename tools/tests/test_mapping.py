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
            tiers={"LIVES": 10, "BASES": 10, "CARS": 10, "CATS": 10, "DOGS": 20, "AXES": 20,
                   "LIFE": 10, "LIVE": 10, "BASE": 10, "BASIS": 10, "CAR": 10, "CAT": 10,
                   "DOG": 10, "AXE": 10, "AXIS": 10},
            news={"CARS": {"nns": 90}, "CATS": {"nns": 5}, "LIVES": {"nns": 30},
                  "BASES": {"nns": 20}, "LIFE": {"nn": 200}, "LIVE": {"vb": 100},
                  "BASIS": {"nn": 80}, "BASE": {"nn": 50}},
            general={"AXE": 4, "AXIS": 3})
        self.accepted = {"LIVES": ["LIFE", "LIVE"], "BASES": ["BASIS", "BASE"], "CARS": ["CAR"],
                         "CATS": ["CAT"], "DOGS": ["DOG"], "AXES": ["AXE", "AXIS"]}

    def test_takes_the_best_two_base_forms_then_fills_by_tier_and_news_frequency(self):
        pairs = mapping.select_pairs(self.lexicon, self.accepted, lines=6, two_base_forms=2)
        self.assertEqual(pairs, [("BASES", "BASE"), ("BASES", "BASIS"), ("CARS", "CAR"),
                                 ("CATS", "CAT"), ("LIVES", "LIFE"), ("LIVES", "LIVE")])

    def test_a_two_base_form_outside_the_chosen_ones_keeps_its_best_base(self):
        pairs = mapping.select_pairs(self.lexicon, self.accepted, lines=7, two_base_forms=1)
        self.assertIn(("BASES", "BASIS"), pairs)
        self.assertNotIn(("BASES", "BASE"), pairs)
        self.assertIn(("AXES", "AXE"), pairs)
        self.assertNotIn(("AXES", "AXIS"), pairs)
        self.assertEqual(len({form for form, _ in pairs}), 6)

    def test_sorted_by_base_then_form(self):
        pairs = mapping.select_pairs(self.lexicon, self.accepted, lines=7, two_base_forms=1)
        self.assertEqual(pairs, sorted(pairs, key=lambda pair: (pair[1], pair[0])))

    def test_too_few_pairs_or_two_base_forms_is_an_error(self):
        with self.assertRaises(ValueError):
            mapping.select_pairs(self.lexicon, self.accepted, lines=100, two_base_forms=1)
        with self.assertRaises(ValueError):
            mapping.select_pairs(self.lexicon, self.accepted, lines=6, two_base_forms=4)


if __name__ == "__main__":
    unittest.main()
