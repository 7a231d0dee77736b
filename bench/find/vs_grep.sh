#!/usr/bin/env bash
# quillmark-cli find over a file of 200,000 distinct sentences against grep finding the same
# word and its inflected forms, as whole processes in interleaved rounds, medians (goal: at
# most 2x grep). Usage:
#   bench/find/vs_grep.sh [build/dev/src/cli/quillmark-cli] [rounds]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cli=${1:-$root/build/dev/src/cli/quillmark-cli}
rounds=${2:-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/data"

# Zipf-like sentences of 5 to 17 words, as bench_find builds its store; a fixed seed.
python3 - "$work/sentences.txt" <<'PY'
import random, sys
random.seed(42)
words = ["the", "a", "of", "and", "to", "in", "is", "it", "was", "for", "on", "ship", "ships",
         "shipped", "Go", "don't", "won't", "say", "market", "news"]
while len(words) < 20000:
    words.append("".join(random.choice("abcdefghijklmnopqrstuvwxyz")
                         for _ in range(random.randint(2, 10))))
def pick():
    return words[min(len(words) - 1, int(len(words) ** random.random() - 1))]
seen = set()
with open(sys.argv[1], "w") as out:
    while len(seen) < 200000:
        sentence = pick().capitalize()
        for _ in range(random.randint(4, 16)):
            sentence += random.choice([" ", " ", " ", " ", ", ", " $"]) + pick()
        if random.random() < 0.2:
            sentence += "?"
        if sentence not in seen:
            seen.add(sentence)
            out.write(sentence + "\r\n")
PY

# Both write to a file: grep stops at the first match when its output is /dev/null.
run_cli() {
  "$cli" --data-dir "$work/data" find ship --sentences "$work/sentences.txt" >"$work/out"
}
run_grep() { grep -iwE 'ship|ships|shipped' "$work/sentences.txt" >"$work/out"; }

source "$root/bench/support/timing.sh"

cli_times=() grep_times=()
for _ in $(seq "$rounds"); do
  grep_times+=("$(time_ms run_grep)")
  cli_times+=("$(time_ms run_cli)")
done
cli_ms=$(printf '%s\n' "${cli_times[@]}" | median)
grep_ms=$(printf '%s\n' "${grep_times[@]}" | median)
echo "200,000 sentences; median of $rounds interleaved rounds (the machine may be shared)"
run_cli
echo "quillmark-cli find ship: $cli_ms ms, $(grep -c '\.\.\.' "$work/out") sentences"
run_grep
echo "grep -iwE 'ship|ships|shipped': $grep_ms ms, $(wc -l <"$work/out") sentences"
awk -v a="$cli_ms" -v b="$grep_ms" 'BEGIN { if (b > 0) printf "ratio: %.2fx grep (goal: at most 2x)\n", a / b }'
