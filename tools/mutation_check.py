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

Prints a line per fault and the totals; exits 0 when every counted fault was caught, 1 when
one survived, 2 when the list or the unchanged tests are unusable. Python 3, standard library.
"""

import argparse
import contextlib
import os
import shutil
import signal
import subprocess
import sys
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
    occurrences = text.count(mutation.original)
    try:
        if occurrences == 1:
            path.write_bytes(text.replace(mutation.original, mutation.replacement)
                             .encode("utf-8"))
        yield occurrences
    finally:
        if path.read_bytes() != original:
            path.write_bytes(original)


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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", type=Path, default=DEFAULT_LIST)
    parser.add_argument("--build-dir", type=Path, default=DEFAULT_BUILD)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=float, default=600.0,
                        help="seconds a test program may run (default 600)")
    parser.add_argument("--only", action="append", default=[],
                        help="plant only the faults whose file or description holds TEXT")
    parser.add_argument("--dry-run", action="store_true",
                        help="check that every fault's text is found once; build nothing")
    options = parser.parse_args()

    try:
        mutations = parse_list(options.list.read_text(encoding="utf-8"))
    except (OSError, ListError) as error:
        print(f"{options.list}: {error}", file=sys.stderr)
        return 2
    if options.only:
        mutations = [m for m in mutations
                     if any(text in m.file or text in m.what for text in options.only)]

    # SIGTERM and SIGHUP end the run as Ctrl-C does, through the `finally` that restores.
    def interrupt(signum, frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, interrupt)
    signal.signal(signal.SIGHUP, interrupt)

    build_dir = options.build_dir.resolve()
    if not options.dry_run:
        configure(build_dir)
        # A fault is only caught by tests that passed without it.
        for target in sorted({m.test for m in mutations}):
            built, output = build(build_dir, target, options.jobs)
            if not built or not run_tests(test_program(build_dir, target), [], options.timeout):
                print(output[-3000:] if not built else "", file=sys.stderr)
                print(f"{target} fails without any fault planted; fix that first",
                      file=sys.stderr)
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
