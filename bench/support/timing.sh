# The timing of the scripts that run whole programs beside their peers in interleaved rounds
# (bench/crawl, bench/find, bench/startup). Source it; `rounds` must be set before median runs.

# Milliseconds, to a tenth, of one run of a command; its output is dropped, its failure ignored.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))" | awk '{ printf "%.1f\n", $1 / 1000 }'
}

# The median of `rounds` numbers on standard input, one a line.
median() { sort -n | sed -n "$(( (rounds + 1) / 2 ))p"; }
