import unittest

from listgen import wordlists
from listgen.denylist import DenyList
from listgen.wordlists import NoiseSources

from .lexicon_fixture import make_lexicon


class MarkupAndNameTest(unittest.TestCase):
    def setUp(self):
        self.lexicon = make_lexicon(
            tiers={"TABLE": 10, "TIME": 10, "ACTION": 10, "APPLE": 10, "GOOGLE": 50},
            news={"TABLE": {"nn": 27}, "TIME": {"nn": 760}, "ACTION": {"nn": 170},
                  "APPLE": {"nn": 60}})

    def test_tags_stay_unless_frequent_in_news_and_attributes_only_when_not_english(self):
        sources = NoiseSources(html_tags={"TABLE", "TIME", "TD"},
                               html_attributes={"ACTION", "HREF"}, reserved_words={"TYPEOF"})
        self.assertEqual(wordlists.markup_words(self.lexicon, sources),
                         {"TABLE", "TD", "HREF", "TYPEOF"})

    def test_brands_must_be_known_names_and_not_ordinary_words(self):
        sources = NoiseSources(brand_names={"APPLE", "GOOGLE", "OBSCUREAPP"},
                               known_names={"APPLE", "GOOGLE"}, abbreviations={"CEO", "ACTION"})
        self.assertEqual(wordlists.name_words(self.lexicon, sources), {"GOOGLE", "CEO"})

    def test_function_words_come_from_the_stop_list_and_closed_class_news_words(self):
        lexicon = make_lexicon(tiers={"THE": 10, "AMID": 20, "BECASE": 95, "RUN": 10},
                               news={"THE": {"dt": 46000}, "AMID": {"in": 30},
                                     "BECASE": {"in": 1}, "RUN": {"vb": 90}})
        sources = NoiseSources(stopwords={"SAID"})
        self.assertEqual(wordlists.function_words(lexicon, sources), {"SAID", "THE", "AMID"})

    def test_the_core_drops_denied_words(self):
        sources = NoiseSources(stopwords={"THE", "DAMN"})
        self.assertEqual(wordlists.ng_core(self.lexicon, sources, DenyList(words={"DAMN"})),
                         {"THE"})


class MappedAndNgWordsTest(unittest.TestCase):
    def setUp(self):
        self.lexicon = make_lexicon(
            tiers={"YEAR": 10, "PRICE": 10, "MARKET": 10, "BUSH": 10, "GO": 10, "ONE": 10,
                   "NEW": 10, "GOOD": 10, "YEARS": 10, "CS": 10, "RARE": 50, "BIG": 10},
            nouns={"YEAR", "PRICE", "MARKET", "BUSH", "GO", "ONE", "RARE"},
            verbs={"PRICE", "MARKET", "GO"},
            news={"YEAR": {"nn": 300}, "YEARS": {"nns": 900}, "PRICE": {"nn": 500},
                  "MARKET": {"nn": 800}, "BUSH": {"nnp": 700}, "ONE": {"cd": 2000},
                  "NEW": {"jj": 2400}, "GOOD": {"jj": 200}, "BIG": {"jj": 600},
                  "CS": {"nns": 1000}})
        self.pairs = [("YEARS", "YEAR")]

    def test_mapped_words_rank_bases_with_their_forms_news_counts(self):
        mapped = wordlists.build_mapped_words(self.lexicon, self.pairs, core=set(),
                                              deny=DenyList(), count=2)
        self.assertEqual(mapped, ["MARKET", "YEAR"])

    def test_mapped_words_skip_names_numbers_short_rare_and_ng_words(self):
        mapped = wordlists.build_mapped_words(self.lexicon, self.pairs, core={"MARKET"},
                                              deny=DenyList(), count=2)
        self.assertEqual(mapped, ["PRICE", "YEAR"])
        with self.assertRaises(ValueError):
            wordlists.build_mapped_words(self.lexicon, self.pairs, core=set(),
                                         deny=DenyList(), count=4)

    def test_ng_fill_takes_common_basic_words_that_are_neither_forms_nor_mapped(self):
        ng = wordlists.build_ng_words(self.lexicon, self.pairs, mapped=["YEAR", "MARKET"],
                                      core={"THE"}, deny=DenyList(), count=4)
        self.assertEqual(ng, ["BUSH", "NEW", "ONE", "THE"])  # not CS, YEARS, MARKET

    def test_ng_core_larger_than_the_list_is_an_error(self):
        with self.assertRaises(ValueError):
            wordlists.build_ng_words(self.lexicon, self.pairs, mapped=[],
                                     core={"A", "B", "C"}, deny=DenyList(), count=2)


if __name__ == "__main__":
    unittest.main()
