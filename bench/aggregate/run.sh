#!/bin/sh
# Runs the aggregate benchmark and sums it up: MB/s of AggregateRun beside the tr pipeline
# on the same text, the 100 MB / 10 MB time ratio, and the peak memory of the 100 MB run
# measured alone (the store itself included, and what the run adds to it).
#   bench/aggregate/run.sh [path/to/bench_aggregate]
set -eu
bench=${1:-build/dev/bench/aggregate/bench_aggregate}
out=$(mktemp)
trap 'rm -f "$out" "$out.mem"' EXIT

"$bench" --benchmark_format=json --benchmark_out="$out" --benchmark_out_format=json \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true >/dev/null
"$bench" --benchmark_filter='BM_AggregateRun/100/' --benchmark_format=json >"$out.mem"

python3 - "$out" "$out.mem" <<'PY'
import json, sys
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
mem = json.load(open(sys.argv[2]))["benchmarks"][0]
def line(name):
    b = runs[name]
    return f"{name:40s} {b['real_time']:9.1f} ms  {b['MB_per_s']:7.1f} MB/s  ({b['label']})"
for name in runs:
    print(line(name))
agg10 = runs["BM_AggregateRun/10/real_time"]["real_time"]
agg100 = runs["BM_AggregateRun/100/real_time"]["real_time"]
text10 = runs["BM_AggregateRun/10/real_time"]["text_MB"]
text100 = runs["BM_AggregateRun/100/real_time"]["text_MB"]
print(f"AggregateRun 100 MB / 10 MB time: {agg100 / agg10:.2f} (text {text100 / text10:.2f}x)")
print(f"100 MB run alone: peak {mem['peak_to_text']:.2f} x text (store included), "
      f"the run adds {mem['run_to_text']:.2f} x text")
PY
