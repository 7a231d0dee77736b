import tempfile
import unittest
from pathlib import Path

import mutation_check
from mutation_check import ListError, parse_list

SAMPLE = """# a comment
file: src/a.cpp
test: test_a
what: two steps swapped
from:   First();
|   Second();
to:   Second();
|   First();

file: src/b.cpp
test: test_b
what: a line dropped
from:     Reset();
to: 
args: --gtest_filter=B.*
"""


class ParseListTest(unittest.TestCase):
    def test_blocks_continuations_and_empty_values(self):
        first, second = parse_list(SAMPLE)
        self.assertEqual((first.file, first.test), ("src/a.cpp", "test_a"))
        self.assertEqual(first.original, "  First();\n  Second();")
        self.assertEqual(first.replacement, "  Second();\n  First();")
        self.assertEqual((second.original, second.replacement), ("    Reset();", ""))
        self.assertEqual(second.args, ["--gtest_filter=B.*"])
        self.assertEqual(first.args, [])

    def test_unusable_lists_are_refused_with_their_line(self):
        for text, message in (
                ("file: a\ntest: t\nwhat: w\n", "line 1: the fault lacks from"),
                ("file: a\nkind: x\n", "line 2: expected one of"),
                ("file: a\nfile: b\n", "line 2: file given twice"),
                ("| text\n", "line 1: a continuation with nothing"),
                ("file: a\ntest: t\nwhat: w\nfrom: x\nto: x\n", "line 1: 'to' is the same")):
            with self.assertRaises(ListError) as raised:
                parse_list(text)
            self.assertTrue(str(raised.exception).startswith(message), str(raised.exception))


class PlantedTest(unittest.TestCase):
    def test_the_file_is_put_back_however_the_run_ends(self):
        fault = parse_list("file: f\ntest: t\nwhat: w\nfrom: <=\nto: <\n")[0]
        with tempfile.TemporaryDirectory() as directory:
            path = Path(directory) / "f.cpp"
            path.write_bytes(b"a <= b;\n")
            with self.assertRaises(KeyboardInterrupt):
                with mutation_check.planted(path, fault) as occurrences:
                    self.assertEqual(occurrences, 1)
                    self.assertEqual(path.read_bytes(), b"a < b;\n")
                    raise KeyboardInterrupt
            self.assertEqual(path.read_bytes(), b"a <= b;\n")

            path.write_bytes(b"a <= b && b <= c;\n")  # stale: found twice, left alone
            with mutation_check.planted(path, fault) as occurrences:
                self.assertEqual(occurrences, 2)
                self.assertEqual(path.read_bytes(), b"a <= b && b <= c;\n")


if __name__ == "__main__":
    unittest.main()
