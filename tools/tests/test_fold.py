import os
import subprocess
import unittest

from listgen import fold

REPO_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROBE = os.environ.get("QUILLMARK_FOLD_PROBE")


class RulesTest(unittest.TestCase):
    def test_first_rule_then_first_fallback(self):
        for word, rule, fallback in (("STUDIES", "STUDY", None), ("SWIMMING", "SWIM", "SWIMME"),
                                     ("STUDIED", "STUDY", "STUDIE"), ("HOPED", "HOP", "HOPE"),
                                     ("CARS", "CAR", None), ("MAKING", "MAK", "MAKE"),
                                     ("S", None, None), ("ING", None, None), ("RUN", None, None)):
            self.assertEqual((fold.rule_base(word), fold.fallback_base(word)), (rule, fallback),
                             word)


class FoldTest(unittest.TestCase):
    def test_one_pass_moves_raw_counts_and_self_mappings_reset(self):
        result, learned = fold.fold({"MEET": 1, "MEETING": 2, "MEETINGS": 4}, {})
        self.assertEqual(result, {"MEET": 3, "MEETING": 4})
        self.assertEqual(learned, {"MEETING": "MEET", "MEETINGS": "MEETING"})
        result, learned = fold.fold({"SANG": 2, "SING": 1, "S": 5},
                                    {"SANG": "SING", "SING": "SING"})
        self.assertEqual((result, learned), ({"SING": 1, "S": 5}, {}))


@unittest.skipUnless(PROBE, "QUILLMARK_FOLD_PROBE names no built fold probe (CTest sets it)")
class ProgramFoldTest(unittest.TestCase):
    def test_the_copy_folds_the_built_in_words_as_the_program_does(self):
        with open(os.path.join(REPO_DIR, "resources", "MAPPING_DIC"), encoding="ascii", newline="") as f:
            dictionary = dict(line.split() for line in f.read().split("\r\n"))
        words = set(dictionary) | set(dictionary.values())
        for name in ("NGWORDS", "MAPPEDWORDS"):
            with open(os.path.join(REPO_DIR, "resources", name), encoding="ascii", newline="") as f:
                words.update(word for word in f.read().split("\r\n") if word)
        words |= {target for word in list(words)
                  for target in (fold.rule_base(word), fold.fallback_base(word)) if target}
        raw = {word: len(word) % 4 for word in words}  # some zero counts, as mapped words
        # Half the dictionary, so that the rules and fallbacks get words to work on.
        half = {form: base for index, (form, base) in enumerate(sorted(dictionary.items()))
                if index % 2}
        lines = ["D %s %s" % pair for pair in half.items()]
        lines += ["W %s %d" % item for item in raw.items()]
        output = subprocess.run([PROBE], input="\n".join(lines), capture_output=True,
                                text=True, check=True).stdout
        program_result, program_learned = {}, {}
        for line in output.splitlines():
            kind, first, second = line.split()
            if kind == "R":
                program_result[first] = int(second)
            else:
                program_learned[first] = second
        result, learned = fold.fold(raw, half)
        self.assertGreater(len(learned), 1000)
        self.assertEqual(result, program_result)
        self.assertEqual(learned, program_learned)


if __name__ == "__main__":
    unittest.main()
