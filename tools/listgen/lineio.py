"""Byte layouts of the built-in list files.

Every list is ASCII. Most lists end every line with CR LF, as the program
writes its own data files; the mapping dictionary puts CR LF only between
lines, so its last line has none.
"""

CRLF = "\r\n"


def lines_terminated(lines):
    """Every line followed by CR LF (HOSTS, NGWORDS, MAPPEDWORDS)."""
    return "".join(line + CRLF for line in lines).encode("ascii")


def lines_separated(lines):
    """CR LF between lines and none after the last (MAPPING_DIC)."""
    return CRLF.join(lines).encode("ascii")


def mapping_lines(pairs):
    return ["%s %s" % (form, base) for form, base in pairs]


def read_listed_lines(path):
    """Non-empty lines of a hand-kept list, '#' comments removed."""
    with open(path, encoding="utf-8") as stream:
        lines = [raw.split("#", 1)[0].strip() for raw in stream]
    return [line for line in lines if line]
