#!/usr/bin/env bash
# Regenerates every figure of the performance record (bench/README.md): whole-process runs of
# pelloran-cli on generated answer files, each timed against `cat FILE > OUT && sync OUT` in
# the same run, with the peak memory against the file size; then the window's figures when
# pelloran-window-bench is built. With a second build folder (say, one built from an earlier
# commit) every work is run with both, in turn, and the ratio of the two is printed too.
# Builds nothing; prints a Markdown table on standard output, progress on standard error.
set -euo pipefail

usage() {
  cat >&2 <<'EOF'
Usage: record.sh BUILD_DIR [BASELINE_BUILD_DIR]

BUILD_DIR (and BASELINE_BUILD_DIR) must hold bin/pelloran-cli and bin/pelloran-bench-generate,
built as Release. Set RECORD_SIZES to choose the classes, e.g. RECORD_SIZES="100000x50";
RECORD_RUNS sets the runs per figure (default 5; 15 for classes under 1,000 students).
EOF
  exit 2
}

[ $# -ge 1 ] && [ $# -le 2 ] || usage
build_dir=$(cd "$1" && pwd)
baseline_dir=""
if [ $# -eq 2 ]; then
  baseline_dir=$(cd "$2" && pwd)
fi
sizes=${RECORD_SIZES:-"100x50 10000x200 100000x50"}

for dir in "$build_dir" $baseline_dir; do
  for program in pelloran-cli pelloran-bench-generate; do
    [ -x "$dir/bin/$program" ] || { echo "missing $dir/bin/$program: build it first" >&2; exit 1; }
  done
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

now_ns() { date +%s%N; }

# The wall time of one run in milliseconds. Each run starts without out.csv, so that none pays
# for dropping the previous run's file.
wall_ms() {
  rm -f out.csv
  local start end
  start=$(now_ns)
  "$@" > /dev/null 2> errors.txt
  end=$(now_ns)
  awk -v ns=$(( end - start )) 'BEGIN { printf "%.1f", ns / 1e6 }'
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

copy_with_cat() { cat "$source" > out.csv && sync out.csv; }

peak_bytes() {
  rm -f out.csv
  /usr/bin/time -f %M -o peak-kib.txt "$@" > /dev/null 2> errors.txt
  echo $(( $(tail -n 1 peak-kib.txt) * 1024 ))
}

# Prints one table row: the work's time against copying SOURCE, its peak memory against
# SOURCE's size, and both against the baseline.
record_work() {
  local name=$1 runs=$2 source=$3
  shift 3
  local file_bytes
  file_bytes=$(stat -c %s "$source")
  local cli="$build_dir/bin/pelloran-cli" base="$baseline_dir/bin/pelloran-cli"
  # Warm-up, untimed: the file in the page cache, the programs loaded once, failures seen.
  copy_with_cat
  if ! "$cli" "$@" > /dev/null 2> errors.txt; then
    echo "pelloran-cli $* failed:" >&2
    cat errors.txt >&2
    exit 1
  fi
  local cat_times=() cli_times=() base_times=()
  for (( run = 0; run < runs; run++ )); do
    cat_times+=("$(wall_ms copy_with_cat)")
    cli_times+=("$(wall_ms "$cli" "$@")")
    if [ -n "$baseline_dir" ]; then
      base_times+=("$(wall_ms "$base" "$@")")
    fi
  done
  local cat_ms cli_ms memory
  cat_ms=$(median "${cat_times[@]}")
  cli_ms=$(median "${cli_times[@]}")
  memory=$(peak_bytes "$cli" "$@")
  local row="| $size | $name | $cat_ms | $cli_ms | $(ratio "$cli_ms" "$cat_ms") x"
  row+=" | $(ratio "$memory" "$file_bytes") x"
  if [ -n "$baseline_dir" ]; then
    local base_ms base_memory
    base_ms=$(median "${base_times[@]}")
    base_memory=$(peak_bytes "$base" "$@")
    row+=" | $(ratio "$base_ms" "$cat_ms") x | $(ratio "$base_memory" "$file_bytes") x"
    row+=" | $(ratio "$cli_ms" "$base_ms")"
  fi
  echo "$row |"
}

header="| class | work | cat + sync ms | pelloran-cli ms | time / cat | peak memory / file"
rule="|---|---|---|---|---|---"
if [ -n "$baseline_dir" ]; then
  header+=" | baseline time / cat | baseline memory / file | time / baseline time"
  rule+="|---|---|---"
fi
echo "$header |"
echo "$rule|"

for size in $sizes; do
  students=${size%x*}
  questions=${size#*x}
  runs=${RECORD_RUNS:-$(( students < 1000 ? 15 : 5 ))}
  echo "class $size: $runs runs per figure" >&2
  "$build_dir/bin/pelloran-bench-generate" "$students" "$questions" big.csv
  "$build_dir/bin/pelloran-bench-generate" "$students" "$questions" roster.csv --roster
  record_work "open + save" "$runs" big.csv open big.csv save out.csv
  record_work "open + mark + save" "$runs" big.csv open big.csv mark save out.csv
  record_work "open + mark + sort-score + save" "$runs" big.csv open big.csv mark sort-score save out.csv
  record_work "open + sort-number + save" "$runs" big.csv open big.csv sort-number save out.csv
  record_work "paste roster + save" "$runs" roster.csv paste roster.csv save out.csv
done

window_bench="$build_dir/bin/pelloran-window-bench"
if [ -x "$window_bench" ]; then
  echo "the window: $window_bench" >&2
  echo
  "$window_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
    grep -E 'first start-up|median|^-|^Benchmark' || true
else
  echo "no $window_bench: the window's figures are left out" >&2
fi
