"""The built-in dictionary's generator on a small source: spellings, case, order, the added
meanings, --check."""

import os
import string
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

import generate_dictionary  # noqa: E402


class GenerateDictionaryTest(unittest.TestCase):
    def test_each_spelling_its_own_line_case_merged_in_lookup_order(self):
        with tempfile.TemporaryDirectory() as source:
            for letter in string.ascii_lowercase:
                open(os.path.join(source, letter + ".txt"), "w").close()
            with open(os.path.join(source, "c.txt"), "w", encoding="utf-8") as c:
                c.write("colour, color\t色 / 顔色\nCab\tタクシー\n")
            with open(os.path.join(source, "u.txt"), "w", encoding="utf-8") as u:
                u.write("US,U.S.\tアメリカ合衆国\nus\t私たちを\n")
            added = os.path.join(source, "added.txt")
            with open(added, "w", encoding="utf-8") as lines:
                lines.write("# a comment\nemail, e-mail\t電子メール\n")
            generated = generate_dictionary.dictionary_bytes(source, added)
            self.assertEqual(generated.decode("utf-8"),
                             "Cab\tタクシー\n"
                             "color\t色 / 顔色\n"
                             "colour\t色 / 顔色\n"
                             "e-mail\t電子メール\n"
                             "email\t電子メール\n"
                             "U.S.\tアメリカ合衆国\n"
                             "us\t私たちを / アメリカ合衆国\n")
            out = os.path.join(source, "EJDICT")
            with open(out, "wb") as written:
                written.write(generated)
            self.assertEqual(generate_dictionary.main(["--source", source, "--out", out,
                                                       "--added", added, "--check"]), 0)
            # an added line may not repeat or override the source
            with open(added, "a", encoding="utf-8") as lines:
                lines.write("CAB\t小屋\n")
            with self.assertRaises(SystemExit):
                generate_dictionary.dictionary_bytes(source, added)


if __name__ == "__main__":
    unittest.main()
