import unittest

from listgen import denylist, ranks
from tests.lexicon_fixture import make_lexicon


class FrequencyRanksTest(unittest.TestCase):
    def test_forms_count_under_their_base_and_names_do_not_count(self):
        # WALKS and WALKED fold onto WALK, which outranks TALK though each form alone is rarer;
        # CHEVRON's news use is a name's, so the commoner-sized RAIN outranks it.
        lexicon = make_lexicon(
            tiers={"WALK": 20, "WALKS": 20, "WALKED": 20, "TALK": 20, "RAIN": 20,
                   "CHEVRON": 35},
            news={"WALKS": {"vbz": 3}, "WALKED": {"vbd": 3}, "TALK": {"vb": 5},
                  "RAIN": {"nn": 1}, "CHEVRON": {"nnp": 40}})
        ranked = ranks.frequency_ranks(lexicon, [("WALKED", "WALK")], denylist.DenyList())
        self.assertEqual([line[0] for line in ranked], ["WALK", "TALK", "RAIN", "CHEVRON"])

    def test_a_word_no_corpus_saw_ranks_by_its_size_then_length(self):
        lexicon = make_lexicon(tiers={"OBSCURE": 50, "ZEAL": 35, "APPLE": 35, "FIG": 50})
        ranked = ranks.frequency_ranks(lexicon, [], denylist.DenyList())
        self.assertEqual([line[0] for line in ranked], ["ZEAL", "APPLE", "FIG", "OBSCURE"])

    def test_comparatives_share_their_adjective_line(self):
        lexicon = make_lexicon(tiers={"PRETTY": 20, "PRETTIER": 35, "PRETTIEST": 35,
                                      "BIG": 10, "BIGGER": 10, "BIGGEST": 10, "IN": 10,
                                      "INNER": 35, "LATE": 10, "LATER": 10})
        comparatives = ranks.comparatives_of(lexicon, {"PRETTY", "BIG", "IN", "LATE", "INNER"},
                                             [], {"LATER", "INNER"})
        self.assertEqual(comparatives, {"PRETTIER": "PRETTY", "PRETTIEST": "PRETTY",
                                        "BIGGER": "BIG", "BIGGEST": "BIG"})
        ranked = ranks.frequency_ranks(lexicon, [], denylist.DenyList(), comparatives)
        self.assertIn(["BIG", "BIGGER", "BIGGEST"], ranked)
        self.assertIn(["LATER"], ranked)


class MadeUpWordsTest(unittest.TestCase):
    def test_made_up_words_are_no_word_form_or_misspelling_of_a_real_one(self):
        lexicon = make_lexicon(tiers={w: 10 for w in (
            "TROUBLE", "STRONG", "BRIGHT", "CLOUD", "BASKET", "GARDEN", "MARKET", "SILVER",
            "WINTER", "CANDLE", "PLANET", "FOREST", "HAMMER", "LADDER", "MIRROR", "PENCIL",
            "BLANKET", "CASTLE", "TRUMPET", "BUTTON", "CARPET", "PICKLE", "SPONGE", "THUNDER",
            "WHISTLE", "TURTLE", "RIBBON", "MARBLE", "LANTERN", "PEPPER", "SADDLE")})
        real = set(lexicon.tiers) | {"BRINDLE"}
        words = ranks.made_up_words(lexicon, real, count=10)
        self.assertEqual(len(set(words)), 10)
        for word in words:
            self.assertNotIn(word, real)
            self.assertFalse(ranks.looks_inflected(word, real), word)
            self.assertFalse(ranks.one_edit_away(word, real), word)
        self.assertEqual(words, ranks.made_up_words(lexicon, real, count=10))

    def test_one_edit_away_reads_each_kind_of_slip(self):
        words = {"TROUBLE"}
        for slip in ("TRUBLE", "TROUBBLE", "TROUBLA", "TORUBLE"):
            self.assertTrue(ranks.one_edit_away(slip, words), slip)
        self.assertFalse(ranks.one_edit_away("TRUBLA", words))
        self.assertFalse(ranks.one_edit_away("TROUBLE", words))


if __name__ == "__main__":
    unittest.main()
