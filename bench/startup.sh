#!/usr/bin/env bash
# Whole-process figures of pelloran-cli on a two-student class, where its own start is most of
# the work: the wall time of a run (median of rounds of 20 runs, rounds of the two builds taken
# in turn), its peak memory and the shared libraries it loads. With a second build folder each
# work is run with both and their ratio printed. Builds nothing; prints a Markdown table.
set -euo pipefail

usage() {
  cat >&2 <<'EOF_USAGE'
Usage: startup.sh BUILD_DIR [BASELINE_BUILD_DIR]

STARTUP_ROUNDS sets the rounds per figure (default 9).
EOF_USAGE
  exit 2
}

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  usage
fi
builds=("$(cd "$1" && pwd)")
if [ $# -eq 2 ]; then
  builds+=("$(cd "$2" && pwd)")
fi
rounds=${STARTUP_ROUNDS:-9}
for dir in "${builds[@]}"; do
  [ -x "$dir/bin/pelloran-cli" ] || { echo "missing $dir/bin/pelloran-cli: build it first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf ',,a,b,\r\n,,1,1,\r\n1001,Ann,a,c,\r\n1002,Bob,a,b,\r\n' > two.csv

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

# The mean wall time of 20 runs in milliseconds.
round_ms() {
  local start end run
  start=$(date +%s%N)
  for (( run = 0; run < 20; run++ )); do
    "$@" > /dev/null 2> errors.txt
  done
  end=$(date +%s%N)
  awk -v ns=$(( end - start )) 'BEGIN { printf "%.2f", ns / 20e6 }'
}

peak_kib() {
  /usr/bin/time -f %M -o peak-kib.txt "$@" > /dev/null 2> errors.txt
  tail -n 1 peak-kib.txt
}

# The libraries the dynamic loader initialises, in every program the run becomes.
libraries() {
  rm -f loader.*
  LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/loader" "$@" > /dev/null 2> errors.txt
  cat loader.* | grep -c 'calling init:'
}

record_work() {
  local name=$1
  shift
  local at cli round
  for at in "${!builds[@]}"; do
    cli="${builds[at]}/bin/pelloran-cli"
    if ! "$cli" "$@" > /dev/null 2> errors.txt; then
      echo "$cli $* failed:" >&2
      cat errors.txt >&2
      exit 1
    fi
  done
  local -a samples0=() samples1=()
  for (( round = 0; round < rounds; round++ )); do
    samples0+=("$(round_ms "${builds[0]}/bin/pelloran-cli" "$@")")
    if [ ${#builds[@]} -eq 2 ]; then
      samples1+=("$(round_ms "${builds[1]}/bin/pelloran-cli" "$@")")
    fi
  done
  local ms
  ms=$(median "${samples0[@]}")
  local row
  row="| $name | $ms | $(peak_kib "${builds[0]}/bin/pelloran-cli" "$@")"
  row+=" | $(libraries "${builds[0]}/bin/pelloran-cli" "$@")"
  if [ ${#builds[@]} -eq 2 ]; then
    local base_ms
    base_ms=$(median "${samples1[@]}")
    row+=" | $base_ms | $(peak_kib "${builds[1]}/bin/pelloran-cli" "$@")"
    row+=" | $(libraries "${builds[1]}/bin/pelloran-cli" "$@") | $(ratio "$ms" "$base_ms")"
  fi
  echo "$row |"
}

header="| work | ms | peak KiB | libraries"
rule="|---|---|---|---"
if [ ${#builds[@]} -eq 2 ]; then
  header+=" | baseline ms | baseline peak KiB | baseline libraries | time / baseline time"
  rule+="|---|---|---|---"
fi
echo "$header |"
echo "$rule|"
record_work "--help" --help
record_work "open + mark + dump" open two.csv mark dump
record_work "open + mark + save" open two.csv mark save out.csv
record_work "open + mark + slips" open two.csv mark slips out.pdf
record_work "open + mark + class-list" open two.csv mark class-list out.pdf
