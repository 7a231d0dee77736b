#!/usr/bin/env bash
# The day's press on a local web that plays today's network (../shared/tools/slowweb.py: 17
# news sites behind one proxy), beside the floor slowweb computes from the same run's log and
# `curl --parallel --parallel-max 8` on the same URLs; then a second press on the same day
# (requests and bytes against the first's). Whole processes; the machine is shared, so run it
# a few times and compare like with like.
#   bench/press/run.sh [quillmark-cli] [latency ms ...]       (default: 120 300 30)
set -euo pipefail
cli=${1:-build/dev/src/cli/quillmark-cli}
shift || true
latencies=("$@")
[ ${#latencies[@]} -gt 0 ] || latencies=(120 300 30)
slowweb=${SLOWWEB:-$(dirname "$0")/../../../shared/tools/slowweb.py}
if [ ! -f "$slowweb" ]; then echo "skipped: no $slowweb"; exit 0; fi
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
for i in $(seq -w 1 17); do echo "http://site$i.test/"; done > "$work/sites.txt"

serve() {  # serve LATENCY LOG: starts slowweb, sets $proxy
  rm -f "$work/port" "$2"  # slowweb appends to its log
  python3 "$slowweb" --port-file "$work/port" --log "$2" --latency "$1" --max-seconds 900 \
    > /dev/null 2>&1 &
  until [ -s "$work/port" ]; do sleep 0.1; done
  proxy=http://127.0.0.1:$(cat "$work/port")
}
tally() {  # tally LOG: requests and bytes of a run
  python3 -c 'import json,sys
r=[e for e in map(json.loads,open(sys.argv[1])) if e["ev"]=="req"]
print(len(r),"requests",sum(e["bytes"] for e in r),"bytes")' "$1"
}

for latency in "${latencies[@]}"; do
  data=$(mktemp -d -p "$work")
  serve "$latency" "$work/first.log"
  /usr/bin/time -o "$work/time" -f "%e s wall, %U+%S s CPU, %w waits" env http_proxy="$proxy/" \
    "$cli" --data-dir "$data" gather --sites "$work/sites.txt" --save > /dev/null 2> "$work/err"
  first=$(cat "$work/time")
  kill %% && wait 2> /dev/null || true
  serve "$latency" "$work/second.log"
  /usr/bin/time -o "$work/time" -f "%e s wall, %U+%S s CPU" env http_proxy="$proxy/" \
    "$cli" --data-dir "$data" gather --sites "$work/sites.txt" --save > /dev/null 2>> "$work/err"
  second=$(cat "$work/time")
  kill %% && wait 2> /dev/null || true
  python3 "$slowweb" --urls "$work/first.log" |
    awk '{print "url = \"" $0 "\"\noutput = \"/dev/null\""}' > "$work/curl.cfg"
  serve "$latency" "$work/curl.log"
  /usr/bin/time -o "$work/time" -f "%e s wall" curl -s --parallel --parallel-max 8 -x "$proxy" \
    -K "$work/curl.cfg" 2> /dev/null
  curl_time=$(cat "$work/time")
  kill %% && wait 2> /dev/null || true
  echo "latency $latency ms:"
  echo "  first press:  $first ($(tally "$work/first.log"))"
  echo "  floor:        $(python3 "$slowweb" --lower-bound "$work/first.log" --latency "$latency")"
  echo "  curl --parallel --parallel-max 8: $curl_time"
  echo "  second press: $second ($(tally "$work/second.log"))"
done
