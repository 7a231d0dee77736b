import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

import mutation_check
from mutation_check import ListError, faults_at, parse_diff, parse_list, sampled_faults

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


class PickedFaultsTest(unittest.TestCase):
    # (lines, line index, operator, the fault's replacement): each operator on a line of the
    # kind it is for, and where it must make nothing.
    CASES = (
        (["  if (a.size() > limit) {"], 0, "negate", "  if (!(a.size() > limit)) {"),
        (["  if (a.size() > limit) {"], 0, "negate", "  if (a.size() >= limit) {"),
        (["  return count <= kMax;"], 0, "negate", "  return count < kMax;"),
        (["  ok = kind == Kind::kFeed;"], 0, "negate", "  ok = kind != Kind::kFeed;"),
        (["  x(1);", "  Flush(out);"], 1, "delete", ""),
        (["  First(a);", "  Second(b);"], 0, "swap", "  Second(b);\n  First(a);"),
        (["  buffer.resize(4096);"], 0, "constant", "  buffer.resize(4097);"),
        (["  const double share = 0.25;"], 0, "constant", "  const double share = 0.5;"),
        (["  options.timeoutMs = 30;"], 0, "constant", "  options.timeoutMs = 30000;"),
        (["  Wait(std::chrono::seconds(5));"], 0, "constant",
         "  Wait(std::chrono::milliseconds(5));"),
        (['    "share", "byline",'], 0, "entry", '    "byline",'),
        (['    {"EST", -5},'], 0, "entry", ""),
        (["    case Kind::kFeed:"], 0, "entry", ""),
        (["  bool followArticles = true;"], 0, "default", "  bool followArticles = false;"),
        (["  int articlesPerSite = 10;"], 0, "default", "  int articlesPerSite = 20;"),
        (["void Read(int limit = 0);"], 0, "default", "void Read(int limit = 1);"),
        (["  f();", "  items_.clear();"], 1, "reset", ""),
        (["  f();", "  open_ = false;"], 1, "reset", ""),
    )

    def operators_at(self, lines, index):
        return {(operator, to) for operator, _, _, to in faults_at(lines, index)}

    def test_each_operator_makes_its_fault(self):
        for lines, index, operator, replacement in self.CASES:
            self.assertIn((operator, replacement), self.operators_at(lines, index), lines)

    def test_no_fault_in_texts_comments_or_declarations_deleted(self):
        self.assertEqual(self.operators_at(['  Log("if (a < b) 12");  // 7 > 3'], 0),
                         {("delete", "")})
        self.assertEqual(self.operators_at(["#include <vector>"], 0), set())
        self.assertEqual(self.operators_at(["  // if (x) y = 1;"], 0), set())
        # a declaration is never deleted nor swapped away from its uses
        self.assertNotIn("delete", {op for op, _ in
                                    self.operators_at(["  std::string name = Take();"], 0)})
        # a variable named after a unit is no unit
        self.assertEqual(self.operators_at(["  if (seconds) Use(seconds);"], 0),
                         {("negate", "  if (!(seconds)) Use(seconds);")})
        # a line continuing the statement above is no statement of its own
        self.assertEqual(self.operators_at(["  Call(a,", "       b);"], 1), set())

    def test_a_seed_picks_the_same_faults_and_another_seed_others(self):
        source = ["void F() {"] + [f"  if (a{n} < {n}) Step{n}();" for n in range(30)] + ["}"]
        changed = {"src/gather/f.cpp": list(range(1, 33)), "tools/x.cpp": [1]}

        def picked(seed):
            return [(m.file, m.at, m.what, m.original, m.replacement, m.test)
                    for m in sampled_faults(changed, lambda file: source, seed)]
        first = picked(7)
        self.assertEqual(first, picked(7))
        self.assertNotEqual(first[:10], picked(8)[:10])
        self.assertEqual({m[0] for m in first}, {"src/gather/f.cpp"})  # sources under src/
        self.assertEqual(first[0][5], "test_gather")
        self.assertEqual(len({m[1] for m in first[:30]}), 30)  # every site once before any twice

    def test_the_changed_lines_of_a_diff(self):
        diff = ("+++ b/src/a.cpp\n@@ -3,2 +3,3 @@\n+x\n@@ -9 +10 @@\n+y\n@@ -20,4 +21,0 @@\n"
                "+++ b/README.md\n@@ -1 +1 @@\n")
        self.assertEqual(parse_diff(diff), {"src/a.cpp": [3, 4, 5, 10]})

    def test_a_picked_fault_is_planted_at_its_line(self):
        lines = ["a;", "b;", "a;", "c;"]
        fault = sampled_faults({"src/net/f.cpp": [3]}, lambda file: lines, 1)
        fault = next(m for m in fault if m.what.startswith("swap"))
        with tempfile.TemporaryDirectory() as directory:
            path = Path(directory) / "f.cpp"
            path.write_text("\n".join(lines))
            with mutation_check.planted(path, fault) as occurrences:
                self.assertEqual(occurrences, 1)
                self.assertEqual(path.read_text(), "a;\nb;\nc;\na;")
            self.assertEqual(path.read_text(), "\n".join(lines))


@unittest.skipUnless(shutil.which("g++") and shutil.which("objcopy"), "needs g++ and objcopy")
class CodeDigestTest(unittest.TestCase):
    def test_lines_moved_keep_the_digest_and_a_constant_changed_does_not(self):
        sources = {"as_is": "int g(int);\nint f(int x) {\n  return g(x) + g(1);\n}\n",
                   "moved": "int g(int);\n\n\nint f(int x) {\n  return g(x) + g(1);\n}\n",
                   "changed": "int g(int);\nint f(int x) {\n  return g(x) + g(2);\n}\n"}
        digests = {}
        with tempfile.TemporaryDirectory() as directory:
            for name, text in sources.items():
                source, code = Path(directory) / "f.cpp", Path(directory) / f"{name}.o"
                source.write_text(text)
                subprocess.run(["g++", "-O2", "-g", "-c", str(source), "-o", str(code)],
                               check=True)
                digests[name] = mutation_check.code_digest(code)
        self.assertEqual(digests["moved"], digests["as_is"])
        self.assertNotEqual(digests["changed"], digests["as_is"])


if __name__ == "__main__":
    unittest.main()
