#!/usr/bin/env bash
# Start-up against Qt's own floor, as whole processes in interleaved rounds, medians:
#  - the window program to its first paint (startup_quillmark) beside a Qt Widgets hello-world
#    (startup_hello), goal at most 1.3x;
#  - quillmark-cli with nothing to do beside a bare QCoreApplication (startup_core).
# With --instructions, also the instructions each executes (valgrind's callgrind), which the
# load of a shared machine does not move. With STARTUP_BEFORE=<an earlier startup_quillmark>
# that build runs in the same rounds, for a before/after on equal terms. Usage:
#   [STARTUP_BEFORE=path] bench/startup/run.sh [build/dev] [rounds] [--instructions]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build/dev}
rounds=${2:-15}
instructions=${3:-}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

window() { "$build/bench/startup/startup_quillmark"; }
hello() { "$build/bench/startup/startup_hello"; }
cli() { "$build/src/cli/quillmark-cli" --data-dir "$data" words /dev/null; }
core() { "$build/bench/startup/startup_core"; }
programs=(window hello cli core)
before=${STARTUP_BEFORE:-}
earlier() { "$before"; }
if [ -n "$before" ]; then programs+=(earlier); fi

source "$root/bench/support/timing.sh"

declare -A times
for _ in $(seq "$rounds"); do
  for program in "${programs[@]}"; do times[$program]+="$(time_ms "$program") "; done
done
declare -A medians
for program in "${programs[@]}"; do
  medians[$program]=$(printf '%s\n' ${times[$program]} | median)
done
echo "median of $rounds interleaved rounds, ms (the machine may be shared)"
echo "window to first paint: ${medians[window]}  Qt hello-world: ${medians[hello]}"
awk -v a="${medians[window]}" -v b="${medians[hello]}" \
  'BEGIN { if (b > 0) printf "window / hello-world: %.2fx (goal: at most 1.3x)\n", a / b }'
echo "quillmark-cli start-up: ${medians[cli]}  bare QCoreApplication: ${medians[core]}"
if [ -n "$before" ]; then echo "the earlier window ($before): ${medians[earlier]}"; fi

count_instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : //p' | tail -1
}
if [ "$instructions" = "--instructions" ] && command -v valgrind >/dev/null; then
  echo "instructions: window $(count_instructions "$build/bench/startup/startup_quillmark")," \
    "hello-world $(count_instructions "$build/bench/startup/startup_hello")," \
    "quillmark-cli $(count_instructions "$build/src/cli/quillmark-cli" --data-dir "$data" words /dev/null)," \
    "QCoreApplication $(count_instructions "$build/bench/startup/startup_core")"
  if [ -n "$before" ]; then
    echo "instructions: the earlier window $(count_instructions "$before")"
  fi
fi
