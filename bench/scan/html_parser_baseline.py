#!/usr/bin/env python3
"""Text extraction with Python's html.parser over the same pages as bench_scan.

The comparison figure for the page scanner: run it in the same session as
bench_scan, for example
    python3 bench/scan/html_parser_baseline.py ../shared/corpus/pages
It prints the bytes per second over all pages (best of a few rounds).
"""

import os
import sys
import time
from html.parser import HTMLParser


class TextExtractor(HTMLParser):
    """Keeps the text outside script and style elements, one '.' per tag."""

    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.parts = []
        self.skipping = 0

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style"):
            self.skipping += 1
        self.parts.append(".")

    def handle_endtag(self, tag):
        if tag in ("script", "style") and self.skipping:
            self.skipping -= 1
        self.parts.append(".")

    def handle_data(self, data):
        if not self.skipping:
            self.parts.append(data)


def extract(page: bytes) -> str:
    parser = TextExtractor()
    # Bytes are not decoded by the scanner either: latin-1 maps each byte to one character.
    parser.feed(page.split(b"\0", 1)[0].decode("latin-1"))
    parser.close()
    return "".join(parser.parts)


def main() -> int:
    directory = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "..", "..", "shared", "corpus", "pages")
    if not os.path.isdir(directory):
        print(f"no corpus at {directory}; skipped")
        return 0
    pages = []
    for name in sorted(os.listdir(directory)):
        with open(os.path.join(directory, name), "rb") as f:
            pages.append(f.read())
    total = sum(len(p) for p in pages)
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    best = float("inf")
    for _ in range(rounds):
        start = time.process_time()
        for page in pages:
            extract(page)
        best = min(best, time.process_time() - start)
    print(f"html.parser: {len(pages)} pages, {total / 1e6:.1f} MB, best of {rounds}: "
          f"{best * 1e3:.0f} ms CPU, {total / best / 1e6:.1f} MB/s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
