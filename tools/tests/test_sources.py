import math
import os
import struct
import tempfile
import unittest

from listgen import sources
from listgen.denylist import parse_deny_list


class PoslexTest(unittest.TestCase):
    LINES = [
        "MNCL",
        '("said" ((vbd -1.000) (vbn -3.000) ) () )',
        '("Said" ((nnp -2.000) ) () )',
        '("n\'t" ((rb -1.000) ) () )',
        '("aardvark" ((nn -5.000) ) () )',
    ]

    def test_counts_are_probability_times_tag_total_folded_to_upper_case(self):
        lexicon = sources.parse_poslex(self.LINES, {"vbd": 1000, "vbn": 2000, "nnp": 500,
                                                    "nn": 100})
        self.assertEqual(lexicon["SAID"], {"vbd": round(1000 * math.exp(-1)),
                                           "vbn": round(2000 * math.exp(-3)),
                                           "nnp": round(500 * math.exp(-2))})
        self.assertNotIn("N'T", lexicon)
        self.assertEqual(lexicon["AARDVARK"], {"nn": 1})  # a listed tag counts at least once

    def test_a_tag_without_total_is_estimated_from_its_rarest_word(self):
        lexicon = sources.parse_poslex(self.LINES, {})
        self.assertEqual(lexicon["AARDVARK"], {"nn": 1})
        self.assertEqual(lexicon["SAID"]["vbd"], 1)


class TagNgramTest(unittest.TestCase):
    @staticmethod
    def table(header, values):
        return header + b"\na b\na b\n" + struct.pack(">%dd" % len(values), *values)

    def test_sums_the_last_position_with_negative_runs_of_empty_cells(self):
        # Cells aa=3, ab=0, ba=0, bb=5; -3 stands for two empty cells.
        data = self.table(b"NgramBin_2 2", [3.0, -3.0, 5.0])
        self.assertEqual(sources.parse_tag_ngrams(data), {"a": 3, "b": 5})

    def test_a_table_of_the_wrong_size_or_kind_is_refused(self):
        with self.assertRaises(ValueError):
            sources.parse_tag_ngrams(self.table(b"NgramBin_2 2", [3.0, 5.0]))
        with self.assertRaises(ValueError):
            sources.parse_tag_ngrams(self.table(b"Ngram_2 2", [3.0, -3.0, 5.0]))


class TextSourcesTest(unittest.TestCase):
    def test_js_literals_outside_comments_only(self):
        source = "/* 'license' */\n// 'note'\nexport const x = [\n  'a',\n  'b' // 'c'\n]"
        self.assertEqual(sources.js_string_literals(source), ["a", "b"])

    def test_wordnet_files(self):
        with tempfile.TemporaryDirectory() as directory:
            def write(name, text):
                path = os.path.join(directory, name)
                with open(path, "w") as stream:
                    stream.write(text)
                return path

            index = write("index.noun", "  1 licence line\nabacus n 2 1 @ 2 0 1 2\n"
                                        "ice_cream n 1 0 1 0 1\n")
            self.assertEqual(sources.read_wordnet_lemmas(index), {"ABACUS"})
            exc = write("noun.exc", "axes ax axis\nmen's man\n")
            self.assertEqual(sources.read_wordnet_exceptions(exc), [("AXES", ["AX", "AXIS"])])
            counts = write("cntlist.rev", "run%2:38:00:: 1 20\nrun%1:04:00:: 2 5\nx 1\n")
            self.assertEqual(sources.read_wordnet_counts(counts), {"RUN": 25})

    def test_scowl_tier_is_the_smallest_size_over_all_spellings(self):
        with tempfile.TemporaryDirectory() as directory:
            for name, words in (("english-words.35", "colour\nrun\nParis\nit's\n"),
                                ("american-words.10", "color\nrun\n"),
                                ("british-words.20", "colour\n")):
                with open(os.path.join(directory, name), "w") as stream:
                    stream.write(words)
            self.assertEqual(sources.read_scowl_tiers(directory),
                             {"COLOR": 10, "RUN": 10, "COLOUR": 20})


class DenyListTest(unittest.TestCase):
    def test_pairs_words_and_comments(self):
        deny = parse_deny_list(["# reviewed", "PAIR physics physic  # a science",
                                "WORD damn", ""])
        self.assertFalse(deny.allows_pair("PHYSICS", "PHYSIC"))
        self.assertFalse(deny.allows_pair("DAMNS", "DAMN"))
        self.assertTrue(deny.allows_pair("CARS", "CAR"))
        self.assertFalse(deny.allows_word("DAMN"))

    def test_malformed_lines_are_refused(self):
        for line in ("PAIR PHYSICS", "WORD A B", "DROP X"):
            with self.assertRaises(ValueError):
                parse_deny_list([line])


if __name__ == "__main__":
    unittest.main()
