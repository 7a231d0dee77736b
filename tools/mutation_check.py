#!/usr/bin/env python3
"""Plants each fault of a list in the source, one at a time, and runs its folder's tests.

Each fault is a text of one source file and what replaces it (a `<` for a `<=`, two steps
swapped, a rollback dropped). For each, the file is changed, only the fault's test target is
built (in a build directory of its own, so a developer's build is left alone), the test program
is run, and the file is put back byte for byte, whatever happens. A fault is caught when the
tests fail (or hang past the time limit); it survives when they pass. A fault whose text is not
found exactly once is "stale" (the code moved on: update the list), and one that does not
compile is "no build"; neither is counted.

    tools/mutation_check.py [--list FILE] [--build-dir DIR] [--jobs N] [--timeout SECONDS]
                            [--only TEXT]... [--dry-run]
    tools/mutation_check.py --sample N --since COMMIT [--seed S] [--only TEXT]... [...]

Prints a line per fault and the totals; exits 0 when every counted fault was caught, 1 when
one survived, 2 when the list or the unchanged tests are unusable. Python 3, standard library.

With --sample the faults are not taken from the list but picked here (see sampled_faults):
N faults at sites drawn, with a seeded generator, from the lines of src/ changed since COMMIT,
made by the fixed operators of OPERATORS. A picked fault that does not compile, or whose
object code (debug information aside) is the same as before, is skipped and the next one is
taken, so N faults reach the tests; the same seed on the same tree picks the same faults.
"""

import argparse
import contextlib
import hashlib
import random
import re
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_LIST = ROOT / "tools" / "mutations.txt"
DEFAULT_BUILD = ROOT / "build" / "mutation"
KEYS = ("file", "test", "what", "from", "to", "args")


class ListError(Exception):
    pass


@dataclass
class Mutation:
    line: int  # where its block starts in the list, for messages
    values: dict = field(default_factory=dict)
    # A picked fault's place: the line of the file where `from` starts. A listed fault has
    # none and is found by its text alone.
    at: int = None

    @property
    def file(self):
        return self.values["file"]

    @property
    def test(self):
        return self.values["test"]

    @property
    def what(self):
        return self.values["what"]

    @property
    def original(self):
        return self.values["from"]

    @property
    def replacement(self):
        return self.values.get("to", "")

    @property
    def args(self):
        return self.values.get("args", "").split()


def parse_list(text):
    """The faults of a list: blocks of `key: value` lines separated by blank lines; a line
    starting with "|" continues the value before it on a new line (what follows "| " is kept
    as written, indentation included); "#" lines are comments."""
    mutations = []
    current = None
    last_key = None
    for number, raw in enumerate(text.splitlines(), start=1):
        if raw.startswith("#"):
            continue
        if not raw.strip():
            current, last_key = None, None
            continue
        if raw.startswith("|"):
            if last_key is None:
                raise ListError(f"line {number}: a continuation with nothing to continue")
            current.values[last_key] += "\n" + raw[2:]
            continue
        key, colon, value = raw.partition(":")
        if not colon or key not in KEYS:
            raise ListError(f"line {number}: expected one of {', '.join(KEYS)}, then ':'")
        if current is None:
            current = Mutation(number)
            mutations.append(current)
        if key in current.values:
            raise ListError(f"line {number}: {key} given twice in one fault")
        current.values[key] = value[1:] if value.startswith(" ") else value
        last_key = key
    for mutation in mutations:
        missing = [key for key in ("file", "test", "what", "from") if key not in mutation.values]
        if missing:
            raise ListError(f"line {mutation.line}: the fault lacks {', '.join(missing)}")
        if mutation.original == mutation.replacement:
            raise ListError(f"line {mutation.line}: 'to' is the same as 'from'")
    return mutations


@contextlib.contextmanager
def planted(path, mutation):
    """Plants `mutation` in the file at `path` for the `with` block, then puts the file back
    byte for byte, however the block ends. Yields how often the fault's text was found; the
    file is changed only when that is exactly once."""
    original = path.read_bytes()
    text = original.decode("utf-8")
    if mutation.at is None:
        occurrences = text.count(mutation.original)
        changed = text.replace(mutation.original, mutation.replacement)
    else:  # a picked fault: its text must stand at its line
        lines = text.split("\n")
        start, count = mutation.at - 1, mutation.original.count("\n") + 1
        occurrences = int("\n".join(lines[start:start + count]) == mutation.original)
        changed = "\n".join(lines[:start] + [mutation.replacement] + lines[start + count:])
    try:
        if occurrences == 1:
            path.write_bytes(changed.encode("utf-8"))
        yield occurrences
    finally:
        if path.read_bytes() != original:
            path.write_bytes(original)


# --- Faults picked here (--sample) ---
#
# Each operator is a slip a hand really makes, written as a function of one line of code that
# returns the faults it can make there: a list of (what, replacement). The line is given twice:
# as written, and masked (comments and the inside of literals blanked, same length), so that
# the patterns see only code and their positions still fit the line as written.

UNIT_WORDS = {"ms", "us", "sec", "secs", "second", "seconds", "millis", "milliseconds",
              "micros", "microseconds", "timeout", "bytes", "kib", "mib", "day", "days",
              "hour", "hours", "minute", "minutes"}
FINER_UNIT = {"seconds": "milliseconds", "milliseconds": "seconds",
              "microseconds": "milliseconds", "nanoseconds": "microseconds"}
NOT_STATEMENTS = {"return", "throw", "goto", "co_return", "case", "default", "else", "if",
                  "for", "while", "do", "switch", "using", "namespace", "template", "typedef",
                  "public", "private", "protected", "static_assert", "friend", "delete",
                  "class", "struct", "enum", "union", "extern"}
DECLARATION = re.compile(r"^(?:(?:static|const|constexpr|inline|thread_local|mutable)\s+)*"
                         r"[\w:]+(?:<.*>)?[\s*&]+[*&]*\w+\s*(?:[={(\[;]|$)")
LITERAL = r'(?:true|false|-?\d+(?:\.\d+)?[uUlLfF]*|"[^"]*")'
DEFAULT = re.compile(r"^\s*(?:(?:static|const|constexpr|inline)\s+)*[\w:<>]+\s+\w+\s*"
                     r"(?:=\s*|\{\s*)(" + LITERAL + r")\s*\}?\s*;|\w\s*=\s*(" + LITERAL
                     + r")\s*(?=[,)])")
NUMBER = re.compile(r"(?<![\w.'])(\d+(?:\.\d+)?)([uUlLfF]*)(?![\w.'])")
RESET = re.compile(r"(?:\.(?:clear|reset)\(\)|^[\w.\->\[\]]+\s*=\s*"
                   r"(?:\{\}|0|false|nullptr|std::nullopt|\"\"))\s*;$")


def masked(line):
    """The line with its `//` comment and the inside of its string and character literals
    blanked, keeping its length and the quotes."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append(" " * len(line[i:i + 2]))
                i += 2
                continue
            out.append(c if c == quote else " ")
            if c == quote:
                quote = None
        elif c == '"' or (c == "'" and not (i and line[i - 1].isalnum())):  # not 1'000
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def is_code(code):
    stripped = code.strip()
    return bool(stripped) and not stripped.startswith(("#", "/*", "*"))


def is_statement(code, previous):
    """Whether the line (masked) is a whole statement of its own that can go without a
    declaration going with it: it starts after a `;`, `{`, `}` or label and ends with `;`."""
    stripped = code.strip()
    first = re.match(r"\w*", stripped).group()
    return (stripped.endswith(";") and not stripped.startswith("}")
            and first not in NOT_STATEMENTS and not DECLARATION.match(stripped)
            and stripped.count("(") == stripped.count(")")
            and stripped.count("{") == stripped.count("}")
            and (not previous.strip() or previous.strip()[-1] in ";{}:"))


def replaced(line, start, end, text):
    return line[:start] + text + line[end:]


def negated_or_moved(line, code):
    """A condition negated (`if`/`while`, `==`/`!=`) or a comparison's boundary moved."""
    faults = []
    opening = re.search(r"\b(?:if|while)\s*\(", code)
    if opening and not re.match(r"\s*(?:constexpr\b|[\w:<>]+\s+\w+\s*=)",
                                code[opening.end():]):  # no declaration in the condition
        depth, start = 0, opening.end() - 1
        for end in range(start, len(code)):
            depth += {"(": 1, ")": -1}.get(code[end], 0)
            if depth == 0:
                faults.append(("condition negated", replaced(
                    line, start + 1, end, "!(" + line[start + 1:end] + ")")))
                break
    moved = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
    for match in re.finditer(r" (<=|>=|==|!=|<|>) ", code):
        operator = match.group(1)
        faults.append((f"'{operator}' made '{moved[operator]}'", replaced(
            line, match.start(1), match.end(1), moved[operator])))
    return faults


def constant_changed(line, code):
    """A constant one more (a fraction doubled), or a unit off by 1000 where the line names
    one."""
    faults = []
    for word in re.finditer(r"\bchrono::(seconds|milliseconds|microseconds|nanoseconds)\b",
                            code):  # the types only: a variable may be called `seconds`
        finer = FINER_UNIT[word.group(1)]
        faults.append((f"{word.group(1)} made {finer}",
                       replaced(line, word.start(1), word.end(1), finer)))
    # A number given straight to a name in a unit (timeoutMs = 30, Seconds(5), {.maxBytes = 8})
    in_unit = set()
    for given in re.finditer(r"([A-Za-z_]\w*)\s*(?:=|\{|\()\s*(\d+)\b", code):
        parts = re.findall(r"[A-Z]?[a-z]+|[A-Z]+(?![a-z])", given.group(1).replace("_", " "))
        if parts and parts[-1].lower() in UNIT_WORDS:
            in_unit.add(given.start(2))
    for number in NUMBER.finditer(code):
        text = number.group(1)
        if "." in text:
            changed = repr(float(text) * 2)
        elif number.start(1) in in_unit and text != "0":
            faults.append((f"{text} made {int(text) * 1000} (a unit off by 1000)",
                           replaced(line, number.start(1), number.end(1),
                                    str(int(text) * 1000))))
            continue
        else:
            changed = str(int(text) + 1)
        faults.append((f"{text} made {changed}",
                       replaced(line, number.start(1), number.end(1), changed)))
    return faults


def entry_removed(line, code):
    """An entry of a table (a `{...},` row, a string of a list) or a `case` of a switch
    removed."""
    faults = []
    stripped = code.strip()
    entries = []
    if stripped.startswith("{") and stripped.rstrip(",").endswith("}") and \
            stripped.count("{") == stripped.count("}"):
        entries = list(re.finditer(r"\{[^{}]*\}\s*,?\s*", code))
    elif re.fullmatch(r'(?:"[^"]*"\s*,\s*)+(?:"[^"]*")?', stripped):  # not a text's lines
        entries = list(re.finditer(r'"[^"]*"\s*,?\s*', code))
    for entry in entries:
        shown = line[entry.start():entry.end()].strip().rstrip(",")
        faults.append((f"table entry {shown} removed",
                       replaced(line, entry.start(), entry.end(), "")
                       if len(entries) > 1 else ""))
    for label in re.finditer(r"\bcase\s+(?:[^:]|::)+:(?!:)\s*", code):
        rest = replaced(line, label.start(), label.end(), "")
        faults.append((f"{line[label.start():label.end()].strip()} removed",
                       rest if rest.strip() else ""))
    return faults


def default_changed(line, code):
    """A default value (a member's or a parameter's) changed: true and false swapped, a
    number doubled (0 made 1), a text emptied."""
    faults = []
    for match in DEFAULT.finditer(code):
        group = 1 if match.group(1) is not None else 2
        value, start, end = match.group(group), match.start(group), match.end(group)
        if value in ("true", "false"):
            changed = "false" if value == "true" else "true"
        elif value.startswith('"'):
            if value == '""':
                continue
            changed = '""'
        else:
            digits = re.match(r"-?\d+(?:\.\d+)?", value).group()
            suffix = value[len(digits):]
            if "." in digits:
                changed = repr(float(digits) * 2) + suffix
            else:
                changed = str(int(digits) * 2 if int(digits) else 1) + suffix
        faults.append((f"{line[start:end]} made {changed}",
                       replaced(line, start, end, changed)))
    return faults


def reset_removed(line, code, previous):
    """A reset or clear() removed (the line kept, blank, so that lines keep their numbers)."""
    if is_statement(code, previous) and RESET.search(code.strip()):
        return [("reset removed", "")]
    return []


def deleted(line, code, previous):
    return [("statement deleted", "")] if is_statement(code, previous) else []


OPERATORS = ("negate", "constant", "entry", "default", "reset", "delete", "swap")


def faults_at(lines, index):
    """Every fault the operators can make at line `index` (0-based) of a file's `lines`: a
    list of (operator, what, from, to), `from` and `to` being one line, or two for a swap."""
    line = lines[index]
    code = masked(line)
    if not is_code(code):
        return []
    previous = next((masked(lines[i]) for i in range(index - 1, -1, -1)
                     if masked(lines[i]).strip()), "")
    faults = []
    for operator, made in (("negate", negated_or_moved(line, code)),
                           ("default", default_changed(line, code)),
                           ("constant", constant_changed(line, code)),
                           ("entry", entry_removed(line, code)),
                           ("reset", reset_removed(line, code, previous)),
                           ("delete", deleted(line, code, previous))):
        if operator == "default" and re.match(r"\s*(?:static\s+)?const(?:expr)?\b", code):
            operator = "constant"  # a named constant's value, not a default
        faults += [(operator, what, line, to) for what, to in made]
    if index + 1 < len(lines):
        following = lines[index + 1]
        next_code = masked(following)
        first = lambda text: re.match(r"\s*(\w*)", text).group(1)
        if (is_statement(code, previous) and is_statement(next_code, code)
                and line.strip() != following.strip()
                and len(line) - len(line.lstrip()) == len(following) - len(following.lstrip())
                and not {first(code), first(next_code)} & {"break", "continue"}):
            faults.append(("swap", "swapped with the next statement",
                           line + "\n" + following, following + "\n" + line))
    seen, unique = set(), []
    for fault in faults:  # two operators making the same text make one fault
        if (fault[2], fault[3]) not in seen:
            seen.add((fault[2], fault[3]))
            unique.append(fault)
    return unique


def parse_diff(diff):
    """{file: [line numbers]} of the C++ sources a `git diff --unified=0` adds or changes."""
    changed, current = {}, None
    for raw in diff.splitlines():
        if raw.startswith("+++ "):
            name = raw[4:]
            current = name[2:] if name.startswith("b/") and name.endswith((".cpp", ".h")) \
                else None
        elif raw.startswith("@@") and current:
            hunk = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", raw)
            start = int(hunk.group(1))
            count = int(hunk.group(2)) if hunk.group(2) is not None else 1
            changed.setdefault(current, []).extend(range(start, start + count))
    return changed


def test_target_of(file):
    """The test target that holds a source's tests: src/gather/x.cpp -> test_gather."""
    parts = Path(file).parts
    return f"test_{parts[1]}" if len(parts) > 2 and parts[0] == "src" else None


def sampled_faults(changed, read_lines, seed):
    """The faults to plant, in order: the sites (changed lines that have a fault) in an order
    drawn from `seed`, one fault of each at random, then the other faults of the sites. The
    same seed and the same files give the same faults in the same order."""
    by_site = {}
    for file in sorted(changed):
        if test_target_of(file) is None:
            continue
        lines = read_lines(file)
        for number in sorted(set(changed[file])):
            if number <= len(lines):
                made = faults_at(lines, number - 1)
                if made:
                    by_site[(file, number)] = made
    generator = random.Random(seed)
    sites = sorted(by_site)
    generator.shuffle(sites)
    first, rest = [], []
    for site in sites:
        made = list(by_site[site])
        generator.shuffle(made)
        first.append((site, made[0]))
        rest += [(site, fault) for fault in made[1:]]
    generator.shuffle(rest)
    picked = []
    for (file, number), (operator, what, original, replacement) in first + rest:
        mutation = Mutation(0, {"file": file, "test": test_target_of(file),
                                "what": f"{operator}: {what}", "from": original,
                                "to": replacement}, at=number)
        picked.append(mutation)
    return picked


def changed_lines(since):
    diff = subprocess.run(["git", "-C", str(ROOT), "diff", "--unified=0", "--no-color",
                           "--no-ext-diff", since, "--", "src"],
                          check=True, stdout=subprocess.PIPE, text=True).stdout
    return parse_diff(diff)


def code_digest(path):
    """A digest of an object file's code and data, its debug information left out (so a
    fault that only moves lines changes nothing)."""
    with tempfile.TemporaryDirectory() as directory:
        stripped = Path(directory) / "stripped.o"
        subprocess.run(["objcopy", "--strip-debug", str(path), str(stripped)], check=True)
        return hashlib.sha256(stripped.read_bytes()).hexdigest()


def dependent_objects(build_dir):
    """{source under src/: [object files compiled from it or including it]}, from the
    dependencies ninja recorded in the last build."""
    listing = subprocess.run(["ninja", "-C", str(build_dir), "-t", "deps"], check=True,
                             stdout=subprocess.PIPE, text=True).stdout
    dependents, current = {}, None
    source_root = str(ROOT / "src") + "/"
    for raw in listing.splitlines():
        if raw and not raw[0].isspace():
            current = raw.split(":", 1)[0] if raw.split(":", 1)[0].endswith(".o") else None
        elif current and raw.strip():
            dependency = os.path.normpath(os.path.join(build_dir, raw.strip()))
            if dependency.startswith(source_root):
                dependents.setdefault(str(Path(dependency).relative_to(ROOT)), []) \
                    .append(current)
    return dependents

def configure(build_dir):
    if (build_dir / "build.ninja").exists():
        return
    command = ["cmake", "-S", str(ROOT), "-B", str(build_dir), "-G", "Ninja",
               "-DCMAKE_BUILD_TYPE=RelWithDebInfo"]
    if shutil.which("ccache"):
        command += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)


def build(build_dir, target, jobs):
    result = subprocess.run(
        ["cmake", "--build", str(build_dir), "-j", str(jobs), "--target", target],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode == 0, result.stdout


def test_program(build_dir, target):
    found = [path for path in (build_dir / "tests").rglob(target)
             if path.is_file() and os.access(path, os.X_OK)]
    if len(found) != 1:
        raise ListError(f"test target {target}: {len(found)} programs of that name in {build_dir}")
    return found[0]


def run_tests(program, args, timeout):
    """Whether the tests passed; a run past `timeout` seconds counts as failed."""
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    # A session of its own, so that a hung or interrupted run is ended with every process it
    # started.
    process = subprocess.Popen([str(program)] + args, cwd=program.parent, env=environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        return process.wait(timeout=timeout) == 0
    except subprocess.TimeoutExpired:
        return False
    finally:
        if process.returncode is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def tested(build_dir, mutation, options):
    """What the tests make of the fault planted now: "no build", "survived" or "caught"."""
    built, _ = build(build_dir, mutation.test, options.jobs)
    if not built:
        return "no build"
    passed = run_tests(test_program(build_dir, mutation.test), mutation.args, options.timeout)
    return "survived" if passed else "caught"


def ready(build_dir, targets, options):
    """Builds and runs each test target as it is; False (after saying why) when one fails,
    since a fault is only caught by tests that pass without it."""
    configure(build_dir)
    for target in sorted(targets):
        built, output = build(build_dir, target, options.jobs)
        if not built or not run_tests(test_program(build_dir, target), [], options.timeout):
            print(output[-3000:] if not built else "", file=sys.stderr)
            print(f"{target} fails without any fault planted; fix that first", file=sys.stderr)
            return False
    return True


def sampled_outcome(build_dir, mutation, objects, baseline, options):
    """What the tests make of a picked fault planted now: "no build", "unchanged" (its
    objects' code is the same as without it), "survived" or "caught"."""
    if objects:
        built, _ = build_objects(build_dir, objects, options.jobs)
        if not built:
            return "no build"
        if all(code_digest(build_dir / o) == baseline[o] for o in objects):
            return "unchanged"
    return tested(build_dir, mutation, options)


def build_objects(build_dir, objects, jobs):
    result = subprocess.run(["ninja", "-C", str(build_dir), "-j", str(jobs)] + list(objects),
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode == 0, result.stdout


def print_change(mutation):
    print("\n".join("  - " + line for line in mutation.original.split("\n")))
    print("\n".join("  + " + line for line in mutation.replacement.split("\n")))


def run_sample(options):
    changed = changed_lines(options.since)
    if options.only:
        changed = {f: lines for f, lines in changed.items()
                   if any(text in f for text in options.only)}
    picked = sampled_faults(changed, lambda f: (ROOT / f).read_text(encoding="utf-8")
                            .split("\n"), options.seed)
    if options.dry_run:
        for mutation in picked[:options.sample]:
            print(f"{mutation.file}:{mutation.at} {mutation.what}")
            print_change(mutation)
        return 0
    build_dir = options.build_dir.resolve()
    readied, dependents = set(), {}
    counts = {"caught": 0, "survived": 0, "unchanged": 0, "no build": 0}
    survivors = []
    for mutation in picked:
        if counts["caught"] + counts["survived"] == options.sample:
            break
        if mutation.test not in readied:  # built and run as it is when first needed
            if not ready(build_dir, {mutation.test}, options):
                return 2
            readied.add(mutation.test)
            dependents = dependent_objects(build_dir)
        # The code of the fault's objects without it, taken now: an object may still hold an
        # earlier fault (of this run or one before) until it is built again, so build it first.
        objects = [o for o in dependents.get(mutation.file, []) if (build_dir / o).exists()]
        if objects and not build_objects(build_dir, objects, options.jobs)[0]:
            objects = []  # the objects outside the test target that do not build as they are
        baseline = {o: code_digest(build_dir / o) for o in objects}
        started = time.monotonic()
        with planted(ROOT / mutation.file, mutation) as occurrences:
            assert occurrences == 1, mutation  # read from the file a moment ago
            outcome = sampled_outcome(build_dir, mutation, objects, baseline, options)
        counts[outcome] += 1
        if outcome == "survived":
            survivors.append(mutation)
        print(f"{outcome:9} {mutation.file}:{mutation.at} {mutation.what} "
              f"({time.monotonic() - started:.0f} s)", flush=True)

    counted = counts["caught"] + counts["survived"]
    rate = f" ({100 * counts['caught'] / counted:.0f} %)" if counted else ""
    print(f"\ncaught {counts['caught']} of {counted}{rate}, seed {options.seed}, "
          f"lines changed since {options.since}"
          + "".join(f", {counts[k]} {k}" for k in ("unchanged", "no build") if counts[k]))
    for mutation in survivors:
        print(f"\nsurvived  {mutation.file}:{mutation.at} {mutation.what}")
        print_change(mutation)
    return 0 if not survivors else 1


def main():
    # SIGTERM and SIGHUP end the run as Ctrl-C does, through the `finally` that restores.
    def interrupt(signum, frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, interrupt)
    signal.signal(signal.SIGHUP, interrupt)

    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", type=Path, default=DEFAULT_LIST)
    parser.add_argument("--build-dir", type=Path, default=DEFAULT_BUILD)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=float, default=600.0,
                        help="seconds a test program may run (default 600)")
    parser.add_argument("--only", action="append", default=[],
                        help="plant only the faults whose file or description holds TEXT")
    parser.add_argument("--dry-run", action="store_true",
                        help="check that every fault's text is found once; build nothing "
                             "(with --sample: print the first N faults picked)")
    parser.add_argument("--sample", type=int, metavar="N",
                        help="plant N faults picked here instead of the list's")
    parser.add_argument("--since", metavar="COMMIT",
                        help="with --sample: pick among the lines of src/ changed since COMMIT")
    parser.add_argument("--seed", type=int, default=1,
                        help="with --sample: the seed of the picking (default 1)")
    options = parser.parse_args()
    if options.sample is not None:
        if not options.since:
            parser.error("--sample needs --since COMMIT")
        return run_sample(options)

    try:
        mutations = parse_list(options.list.read_text(encoding="utf-8"))
    except (OSError, ListError) as error:
        print(f"{options.list}: {error}", file=sys.stderr)
        return 2
    if options.only:
        mutations = [m for m in mutations
                     if any(text in m.file or text in m.what for text in options.only)]


    build_dir = options.build_dir.resolve()
    if not options.dry_run and not ready(build_dir, {m.test for m in mutations}, options):
        return 2

    counts = {"caught": 0, "survived": 0, "stale": 0, "no build": 0}
    survivors = []
    for mutation in mutations:
        path = ROOT / mutation.file
        started = time.monotonic()
        if options.dry_run:  # the file is only read
            occurrences = path.read_text(encoding="utf-8").count(mutation.original)
            outcome = None if occurrences == 1 else "stale"
        else:
            with planted(path, mutation) as occurrences:
                outcome = "stale" if occurrences != 1 else tested(build_dir, mutation, options)
        note = (f" (its text is found {occurrences} times)" if outcome == "stale"
                else f" ({time.monotonic() - started:.0f} s)")
        if outcome is None:
            print(f"ok        {mutation.file}: {mutation.what}")
            continue
        counts[outcome] += 1
        if outcome == "survived":
            survivors.append(mutation)
        print(f"{outcome:9} {mutation.file}: {mutation.what}{note}", flush=True)

    if options.dry_run:
        return 2 if counts["stale"] else 0
    counted = counts["caught"] + counts["survived"]
    print(f"\ncaught {counts['caught']} of {counted}"
          + "".join(f", {counts[k]} {k}" for k in ("stale", "no build") if counts[k]))
    return 0 if not survivors else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("interrupted; every file is back as it was", file=sys.stderr)
        sys.exit(130)
