#!/usr/bin/env bash
# Whole-process figures of pelloran-cli on one generated answer file, against cat copying the
# same file in the same run: wall time (median of interleaved runs), the peak memory of
# pelloran-cli, and their ratios. Builds nothing.
set -euo pipefail

usage() {
  cat >&2 <<'EOF'
Usage: whole-process.sh BUILD_DIR [STUDENTS QUESTIONS] [-- COMMAND...]

Generates big.csv (default 100000 students x 50 questions) and roster.csv (the same
students as "number,name" lines) in a temporary folder, and times there
  cat big.csv > out.csv
  pelloran-cli COMMAND...      (default: open big.csv save out.csv)
for example: whole-process.sh build -- open big.csv mark save out.csv
EOF
  exit 2
}

[ $# -ge 1 ] || usage
build_dir=$(cd "$1" && pwd)
shift
students=100000
questions=50
if [ $# -ge 2 ] && [ "$1" != "--" ]; then
  students=$1
  questions=$2
  shift 2
fi
commands=(open big.csv save out.csv)
if [ $# -ge 1 ]; then
  if [ "$1" != "--" ] || [ $# -lt 2 ]; then
    usage
  fi
  shift
  commands=("$@")
fi

cli="$build_dir/bin/pelloran-cli"
generate="$build_dir/bin/pelloran-bench-generate"
for program in "$cli" "$generate"; do
  [ -x "$program" ] || { echo "missing $program: build it first" >&2; exit 1; }
done

runs=5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$generate" "$students" "$questions" big.csv
"$generate" "$students" "$questions" roster.csv --roster
file_bytes=$(stat -c %s big.csv)

copy_with_cat() { cat big.csv > out.csv; }
run_cli() { "$cli" "${commands[@]}" > cli-output.txt 2> cli-errors.txt; }

# Prints the wall time of one run in seconds. Each run starts without out.csv, so that none
# pays for dropping the previous run's file.
wall_seconds() {
  local TIMEFORMAT=%3R
  rm -f out.csv
  { time "$@"; } 2>&1
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else print "n/a" }'; }

# Warm-up, untimed: the file in the page cache, the programs loaded once, failures seen.
copy_with_cat
if ! run_cli; then
  echo "pelloran-cli ${commands[*]} failed:" >&2
  cat cli-errors.txt >&2
  exit 1
fi

cat_times=()
cli_times=()
for (( run = 0; run < runs; run++ )); do
  cat_times+=("$(wall_seconds copy_with_cat)")
  cli_times+=("$(wall_seconds run_cli)")
done
cat_median=$(median "${cat_times[@]}")
cli_median=$(median "${cli_times[@]}")

rm -f out.csv
/usr/bin/time -f %M -o peak-kib.txt "$cli" "${commands[@]}" > cli-output.txt 2> cli-errors.txt
peak_kib=$(tail -n 1 peak-kib.txt)
peak_bytes=$(( peak_kib * 1024 ))

if cmp -s big.csv out.csv; then
  round_trip="the same bytes as big.csv"
elif [ -f out.csv ]; then
  round_trip="$(stat -c %s out.csv) bytes, differs from big.csv"
else
  round_trip="not written"
fi

echo "big.csv:              $students students x $questions questions, $file_bytes bytes"
echo "pelloran-cli:         ${commands[*]}"
echo "out.csv:              $round_trip"
echo "cat wall times:       ${cat_times[*]} s (median $cat_median s)"
echo "pelloran-cli times:   ${cli_times[*]} s (median $cli_median s)"
echo "time ratio:           $(ratio "$cli_median" "$cat_median") x cat (target at most 10)"
echo "peak memory:          $peak_kib KiB"
echo "memory ratio:         $(ratio "$peak_bytes" "$file_bytes") x file size (target at most 6)"
