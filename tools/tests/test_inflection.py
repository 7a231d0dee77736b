import unittest

from listgen import inflection
from listgen.inflection import ING, PAST, PLURAL, THIRD, regular_forms


class RegularFormsTest(unittest.TestCase):
    def test_plural_and_third_person_take_s_es_or_ies(self):
        self.assertEqual(regular_forms("CAR", PLURAL), {"CARS"})
        self.assertEqual(regular_forms("CHURCH", PLURAL), {"CHURCHES"})
        self.assertEqual(regular_forms("FIX", THIRD), {"FIXES"})
        self.assertEqual(regular_forms("STUDY", THIRD), {"STUDIES"})
        self.assertEqual(regular_forms("DAY", PLURAL), {"DAYS"})
        self.assertEqual(regular_forms("POTATO", PLURAL), {"POTATOS", "POTATOES"})
        self.assertIn("QUIZZES", regular_forms("QUIZ", PLURAL))
        self.assertEqual(regular_forms("EMPHASIS", PLURAL), {"EMPHASES"})
        self.assertEqual(regular_forms("EMPHASISE", THIRD), {"EMPHASISES"})

    def test_nouns_in_man_take_men_but_keep_s(self):
        self.assertIn("WOMEN", regular_forms("WOMAN", PLURAL))
        self.assertIn("HUMANS", regular_forms("HUMAN", PLURAL))
        self.assertNotIn("WOMEN", regular_forms("WOMAN", THIRD))

    def test_one_syllable_cvc_bases_always_double(self):
        self.assertEqual(regular_forms("HOP", PAST), {"HOPPED"})
        self.assertEqual(regular_forms("HOP", ING), {"HOPPING"})
        self.assertEqual(regular_forms("STOP", PAST), {"STOPPED"})
        self.assertEqual(regular_forms("QUIT", ING), {"QUITTING"})
        self.assertEqual(regular_forms("UP", PAST), {"UPPED"})

    def test_longer_cvc_bases_may_double_or_not(self):
        self.assertIn("PREFERRED", regular_forms("PREFER", PAST))
        self.assertIn("VISITED", regular_forms("VISIT", PAST))
        self.assertIn("TRAVELLING", regular_forms("TRAVEL", ING))
        self.assertIn("TRAVELING", regular_forms("TRAVEL", ING))

    def test_w_x_y_and_vowel_pairs_never_double(self):
        self.assertEqual(regular_forms("SNOW", PAST), {"SNOWED"})
        self.assertEqual(regular_forms("FIX", PAST), {"FIXED"})
        self.assertEqual(regular_forms("PLAY", PAST), {"PLAYED"})
        self.assertEqual(regular_forms("RAIN", ING), {"RAINING"})

    def test_e_and_y_endings(self):
        self.assertEqual(regular_forms("HOPE", PAST), {"HOPED"})
        self.assertEqual(regular_forms("STUDY", PAST), {"STUDIED"})
        self.assertEqual(regular_forms("MAKE", ING), {"MAKING"})
        self.assertEqual(regular_forms("DIE", ING), {"DYING"})
        self.assertEqual(regular_forms("SEE", ING), {"SEEING"})
        self.assertEqual(regular_forms("DYE", ING), {"DYEING"})
        self.assertEqual(regular_forms("BE", ING), {"BEING"})
        self.assertEqual(regular_forms("STUDY", ING), {"STUDYING"})

    def test_unknown_kind_is_an_error(self):
        with self.assertRaises(ValueError):
            regular_forms("CAR", "dual")


class SpellingShapeTest(unittest.TestCase):
    def test_qu_and_y_count_as_consonants_where_heard_so(self):
        self.assertTrue(inflection.ends_consonant_vowel_consonant("QUIT"))
        self.assertTrue(inflection.ends_consonant_vowel_consonant("YAP"))
        self.assertFalse(inflection.ends_consonant_vowel_consonant("RAIN"))
        self.assertEqual(inflection.syllable_count("GYM"), 1)
        self.assertEqual(inflection.syllable_count("PLAY"), 1)
        self.assertEqual(inflection.syllable_count("TRAVEL"), 2)


class RegularPairsTest(unittest.TestCase):
    def test_keeps_only_readings_the_producer_confirms(self):
        verbs = {"HOP", "HOPE"}
        self.assertEqual(inflection.regular_pairs("HOPED", set(), verbs), {"HOPE": {PAST}})
        self.assertEqual(inflection.regular_pairs("HOPING", set(), verbs), {"HOPE": {ING}})

    def test_a_word_can_be_plural_and_third_person_of_one_base(self):
        self.assertEqual(inflection.regular_pairs("STUDIES", {"STUDY"}, {"STUDY"}),
                         {"STUDY": {PLURAL, THIRD}})

    def test_men_rule_needs_the_man_noun(self):
        self.assertEqual(inflection.regular_pairs("WOMEN", {"WOMAN"}, set()),
                         {"WOMAN": {PLURAL}})
        self.assertEqual(inflection.regular_pairs("WOMEN", set(), {"WOMAN"}), {})

    def test_doubled_forms_are_not_detached_by_the_rules(self):
        # STOPPED -> STOP comes from WordNet's exception list, not from the rules.
        self.assertEqual(inflection.regular_pairs("STOPPED", set(), {"STOP"}), {})


if __name__ == "__main__":
    unittest.main()
