import os
import unittest

from listgen import build, denylist, lineio, sources

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
            lineio.read_listed_lines(os.path.join(tools_dir, "news_sites.txt")))
        self.assertEqual(lists.unused_deny_entries, [])
        for name, data in lists.files().items():
            with open(os.path.join(REPO_DIR, "resources", name), "rb") as stream:
                self.assertTrue(stream.read() == data, name + " differs")


if __name__ == "__main__":
    unittest.main()
