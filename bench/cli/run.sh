#!/usr/bin/env bash
# quillmark-cli words --all over the corpus pages (scan, sentences, count, fold, rank, output,
# start-up with the built-in lists included) against a tr | sort | uniq word count over the
# same bytes, both as whole processes, each the median of several runs; then the start-up
# alone (an empty input). Usage:
#   bench/cli/run.sh [build/dev/src/cli/quillmark-cli] [../shared/corpus/pages] [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cli=${1:-$root/build/dev/src/cli/quillmark-cli}
pages=${2:-$root/../shared/corpus/pages}
runs=${3:-7}
if [ ! -d "$pages" ]; then echo "no corpus at $pages: skipped"; exit 0; fi
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

# The median wall time of `runs` runs of a command, in milliseconds.
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

pipeline() {
  cat "$pages"/*.html | LC_ALL=C tr -cs 'A-Za-z' '\n' | tr a-z A-Z | sort | uniq -c | sort -rn
}

bytes=$(cat "$pages"/*.html | wc -c)
cli_ms=$(median_ms "$cli" --data-dir "$data" words --all "$pages"/*.html)
pipe_ms=$(median_ms pipeline)
startup_ms=$(median_ms "$cli" --data-dir "$data" words --all /dev/null)
echo "pages: $(ls "$pages"/*.html | wc -l), $bytes bytes; median of $runs runs"
echo "quillmark-cli words --all: $cli_ms ms (start-up alone: $startup_ms ms)"
echo "tr | sort | uniq -c | sort: $pipe_ms ms"
awk -v a="$pipe_ms" -v b="$cli_ms" 'BEGIN { if (b > 0) printf "speed-up: %.1fx (goal: at least 5x)\n", a / b }'
