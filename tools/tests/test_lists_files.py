import os
import unittest

from listgen import build, denylist, lineio, reviewed, sources

REPO_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOURCES_DIR = os.environ.get("QUILLMARK_LIST_SOURCES") or os.path.join(
    os.path.expanduser("~"), ".cache", "quillmark-list-sources")


class FileLayoutTest(unittest.TestCase):
    def test_line_endings(self):
        self.assertEqual(lineio.lines_terminated(["", "A", "B"]), b"\r\nA\r\nB\r\n")
        self.assertEqual(lineio.lines_separated(["X Y", "Z W"]), b"X Y\r\nZ W")
        self.assertEqual(lineio.mapping_lines([("RAN", "RUN")]), ["RAN RUN"])

    def test_files_put_an_empty_first_line_before_the_ng_words(self):
        hosts = ["http://a.example/"] * build.HOST_COUNT
        files = build.Lists([("RAN", "RUN"), ("MICE", "MOUSE")], ["AND", "THE"], ["RUN"],
                            hosts, []).files()
        self.assertEqual(files["NGWORDS"], b"\r\nAND\r\nTHE\r\n")
        self.assertEqual(files["MAPPEDWORDS"], b"RUN\r\n")
        self.assertEqual(files["MAPPING_DIC"], b"RAN RUN\r\nMICE MOUSE")

    def test_hosts_must_be_fifteen_http_addresses(self):
        with self.assertRaises(ValueError):
            build.check_hosts(["http://a.example/"] * 14)
        with self.assertRaises(ValueError):
            build.check_hosts(["https://a.example/"] * build.HOST_COUNT)

    def test_committed_site_list_is_what_news_sites_txt_holds(self):
        listed = lineio.read_listed_lines(os.path.join(REPO_DIR, "tools", "news_sites.txt"))
        with open(os.path.join(REPO_DIR, "resources", "HOSTS"), "rb") as stream:
            self.assertEqual(stream.read(), lineio.lines_terminated(build.check_hosts(listed)))


class ReviewedWordsTest(unittest.TestCase):
    """The committed lists against the reviewed files: needs no sources."""

    def setUp(self):
        self.reviewed = reviewed.load_reviewed(os.path.join(REPO_DIR, "tools"))

    def test_no_word_of_the_reviewed_news_vocabulary_is_hidden(self):
        with open(os.path.join(REPO_DIR, "resources", "NGWORDS"), "rb") as stream:
            ng_words = stream.read().decode("ascii").split("\r\n")
        build.wordlists.check_news_vocabulary_shown(ng_words, self.reviewed.news_vocabulary)
        self.assertLessEqual({"POLICE", "WEEK", "STORY", "FLORIDA", "R"}, set(ng_words))

    def test_every_kept_form_survives_the_fold(self):
        with open(os.path.join(REPO_DIR, "resources", "MAPPING_DIC"), "rb") as stream:
            pairs = [tuple(line.split()) for line in stream.read().decode("ascii").split("\r\n")]
        build.check_kept_forms(pairs, self.reviewed.kept_forms)
        with self.assertRaises(ValueError):
            build.check_kept_forms([("RELATED", "RELATE")], {"RELATED"})


@unittest.skipUnless(os.path.isdir(os.path.join(SOURCES_DIR, "root")),
                     "no unpacked sources (tools/fetch-sources.sh)")
class ReproductionTest(unittest.TestCase):
    def test_sources_give_the_committed_files_byte_for_byte(self):
        paths = sources.SourcePaths(SOURCES_DIR)
        self.assertEqual(build.version_mismatches(paths), [])
        tools_dir = os.path.join(REPO_DIR, "tools")
        lists = build.build_lists(
            build.load_lexicon(paths), build.load_noise_sources(paths, os.path.join(tools_dir, "noise_words.txt")),
            denylist.read_deny_list(os.path.join(tools_dir, "deny_list.txt")),
            lineio.read_listed_lines(os.path.join(tools_dir, "news_sites.txt")),
            reviewed.load_reviewed(tools_dir),
            build.load_rank_sources(paths, os.path.join(REPO_DIR, "resources", "EJDICT")))
        self.assertEqual(lists.unused_deny_entries, [])
        for name, data in lists.files().items():
            with open(os.path.join(REPO_DIR, "resources", name), "rb") as stream:
                self.assertTrue(stream.read() == data, name + " differs")


if __name__ == "__main__":
    unittest.main()
