import string
import unittest

from listgen import wordlists
from listgen.denylist import DenyList
from listgen.reviewed import ReviewedWords
from listgen.wordlists import NoiseSources

from .lexicon_fixture import make_lexicon


class MarkupAndNameTest(unittest.TestCase):
    def setUp(self):
        self.lexicon = make_lexicon(
            tiers={"TABLE": 10, "TIME": 10, "ACTION": 10, "APPLE": 10, "GOOGLE": 50},
            news={"TABLE": {"nn": 27}, "TIME": {"nn": 760}, "ACTION": {"nn": 170},
                  "APPLE": {"nn": 60}})

    def test_tags_stay_unless_news_prose_uses_them_and_others_only_when_not_english(self):
        lexicon = make_lexicon(
            tiers={"TABLE": 10, "TIME": 10, "ACTION": 10, "NULL": 20, "CLASS": 10},
            news={"TABLE": {"nn": 27}, "TIME": {"nn": 760}, "ACTION": {"nn": 170},
                  "LI": {"nnp": 35}, "CLASS": {"nn": 43}})
        sources = NoiseSources(html_tags={"TABLE", "TIME", "TD", "LI"},
                               html_attributes={"ACTION", "HREF", "CLASS"},
                               reserved_words={"TYPEOF", "NULL"})
        self.assertEqual(wordlists.markup_words(lexicon, sources) - wordlists.WEB_TOKENS,
                         {"TABLE", "TD", "LI", "HREF", "TYPEOF", "NULL"})
        self.assertLessEqual({"HTTPS", "PNG", "ONCLICK"}, wordlists.markup_words(lexicon, sources))

    def test_brands_must_be_known_names_unseen_by_the_news_and_listed_names_count(self):
        sources = NoiseSources(brand_names={"APPLE", "GOOGLE", "OBSCUREAPP", "ICELAND"},
                               known_names={"APPLE", "GOOGLE", "ICELAND"},
                               abbreviations={"CEO", "ACTION"}, listed_names={"REUTERS"})
        lexicon = make_lexicon(tiers={"APPLE": 10, "ACTION": 10}, news={"ICELAND": {"nnp": 2}})
        self.assertEqual(wordlists.name_words(lexicon, sources), {"GOOGLE", "CEO", "REUTERS"})

    def test_chrome_words_the_news_use_often_are_refused(self):
        lexicon = make_lexicon(news={"SKIP": {"vbp": 1}, "NAVIGATION": {"nnp": 42},
                                     "SHARE": {"nn": 1412}})
        self.assertEqual(wordlists.chrome_words(
            lexicon, NoiseSources(chrome_words={"SKIP", "NAVIGATION"})), {"SKIP", "NAVIGATION"})
        with self.assertRaises(ValueError):
            wordlists.chrome_words(lexicon, NoiseSources(chrome_words={"SHARE"}))

    def test_function_words_come_from_the_stop_list_and_closed_class_news_words(self):
        lexicon = make_lexicon(tiers={"THE": 10, "AMID": 20, "BECASE": 95, "RUN": 10},
                               news={"THE": {"dt": 46000}, "AMID": {"in": 30},
                                     "BECASE": {"in": 1}, "RUN": {"vb": 90}})
        sources = NoiseSources(stopwords={"SAID"})
        self.assertEqual(wordlists.function_words(lexicon, sources), {"SAID", "THE", "AMID"})

    def test_the_core_drops_denied_words(self):
        sources = NoiseSources(stopwords={"THE", "DAMN"})
        core = wordlists.ng_core(self.lexicon, sources, DenyList(words={"DAMN"}))
        self.assertEqual(core - wordlists.WEB_TOKENS - wordlists.DATE_ABBREVIATIONS, {"THE"})


class MappedAndNgWordsTest(unittest.TestCase):
    def setUp(self):
        self.lexicon = make_lexicon(
            tiers={"YEAR": 10, "PRICE": 10, "MARKET": 10, "BUSH": 10, "GO": 10, "ONE": 10,
                   "DAY": 10, "FISCAL": 10, "YEARS": 10, "CS": 10, "RARE": 50, "HAND": 10},
            nouns={"YEAR", "PRICE", "MARKET", "BUSH", "GO", "ONE", "RARE", "DAY", "HAND"},
            verbs={"PRICE", "MARKET", "GO", "HAND"},
            news={"YEAR": {"nn": 300}, "YEARS": {"nns": 900}, "PRICE": {"nn": 500},
                  "MARKET": {"nn": 800}, "BUSH": {"nnp": 700}, "ONE": {"cd": 2000},
                  "DAY": {"nn": 340}, "FISCAL": {"jj": 240}, "HAND": {"nn": 100},
                  "CS": {"nns": 1000}},
            general={"GO": 600, "DAY": 350, "HAND": 250, "FISCAL": 3, "YEAR": 45, "YEARS": 9,
                     "MARKET": 30, "CS": 50})
        self.pairs = [("YEARS", "YEAR"), ("MARKET", "MARKET")]

    def test_mapped_words_rank_bases_with_their_forms_news_counts_and_skip_ng_words(self):
        mapped = wordlists.build_mapped_words(self.lexicon, self.pairs, ng_words=set(),
                                              deny=DenyList(), count=2)
        self.assertEqual(mapped, ["MARKET", "YEAR"])
        mapped = wordlists.build_mapped_words(self.lexicon, self.pairs, ng_words={"MARKET"},
                                              deny=DenyList(), count=2)
        self.assertEqual(mapped, ["PRICE", "YEAR"])
        with self.assertRaises(ValueError):
            wordlists.build_mapped_words(self.lexicon, self.pairs, ng_words=set(),
                                         deny=DenyList(), count=9)

    def test_ng_fill_takes_general_words_the_news_do_not_use_far_more(self):
        ng = wordlists.build_ng_words(self.lexicon, self.pairs, core={"THE"}, deny=DenyList(),
                                      count=4)
        self.assertEqual(ng, ["DAY", "GO", "HAND", "THE"])  # not FISCAL, YEARS, CS, MARKET

    def test_ng_core_larger_than_the_list_is_an_error(self):
        with self.assertRaises(ValueError):
            wordlists.build_ng_words(self.lexicon, self.pairs, core={"A", "B", "C"},
                                     deny=DenyList(), count=2)


class LearnerWordsTest(unittest.TestCase):
    def test_letters_backed_basic_words_labels_and_places_that_are_no_ordinary_word(self):
        lexicon = make_lexicon(tiers={"WEEK": 10, "TURKEY": 10, "BIG": 10})
        reviewed = ReviewedWords(basic={"WEEK", "AGO", "MONDAY"}, labels={"STORY"},
                                 places={"FLORIDA", "TURKEY", "ATLANTIS"}, frequent={"AGO"})
        words = wordlists.learner_words(lexicon, reviewed, {"FLORIDA", "TURKEY", "MONDAY"},
                                        DenyList())
        self.assertEqual(words - set(string.ascii_uppercase),
                         {"WEEK", "AGO", "MONDAY", "STORY", "FLORIDA"})
        self.assertLessEqual({"R", "C", "X"}, words)
        with self.assertRaises(ValueError):  # no source backs ZYZZYVA as basic
            wordlists.learner_words(lexicon, ReviewedWords(basic={"ZYZZYVA"}), set(), DenyList())

    def test_a_hidden_news_word_is_an_error(self):
        wordlists.check_news_vocabulary_shown(["STORY", "WEEK"], {"ELECTION"})
        with self.assertRaises(ValueError):
            wordlists.check_news_vocabulary_shown(["ELECTION", "WEEK"], {"ELECTION"})


if __name__ == "__main__":
    unittest.main()
