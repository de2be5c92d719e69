#!/usr/bin/env bash
# Whole-process figures of the paper commands of pelloran-cli on generated classes: the wall
# time of "open mark slips" and "open mark class-list" (median of interleaved runs) against
# "open mark" alone, the peak memory, the pages and the size of the PDF file. Builds nothing.
set -euo pipefail

usage() {
  cat >&2 <<'EOF_USAGE'
Usage: paper.sh BUILD_DIR [STUDENTSxQUESTIONS...]

Default classes: 400x20 400x50 10000x20 10000x50. PAPER_RUNS sets the runs per figure (3).
EOF_USAGE
  exit 2
}

[ $# -ge 1 ] || usage
build_dir=$(cd "$1" && pwd)
shift
classes=("$@")
[ ${#classes[@]} -gt 0 ] || classes=(400x20 400x50 10000x20 10000x50)
runs=${PAPER_RUNS:-3}

cli="$build_dir/bin/pelloran-cli"
generate="$build_dir/bin/pelloran-bench-generate"
for program in "$cli" "$generate"; do
  [ -x "$program" ] || { echo "missing $program: build it first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

wall_seconds() {
  local TIMEFORMAT=%3R
  { time "$@" > /dev/null 2> errors.txt; } 2>&1
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }

printf '| class | work | pelloran-cli s | open + mark s | peak memory MiB | pages | PDF MB |\n'
printf '|---|---|---|---|---|---|---|\n'
for class in "${classes[@]}"; do
  students=${class%x*}
  questions=${class#*x}
  "$generate" "$students" "$questions" class.csv
  for work_name in slips class-list; do
    # Warm-up, untimed: the file in the page cache, the fonts found once, failures seen.
    if ! "$cli" open class.csv mark "$work_name" out.pdf > /dev/null 2> errors.txt; then
      echo "pelloran-cli open class.csv mark $work_name out.pdf failed:" >&2
      cat errors.txt >&2
      exit 1
    fi
    paper_times=()
    mark_times=()
    for (( run = 0; run < runs; run++ )); do
      mark_times+=("$(wall_seconds "$cli" open class.csv mark)")
      paper_times+=("$(wall_seconds "$cli" open class.csv mark "$work_name" out.pdf)")
    done
    /usr/bin/time -f %M -o peak-kib.txt "$cli" open class.csv mark "$work_name" out.pdf \
      > /dev/null 2> errors.txt
    peak_mib=$(awk '{ printf "%.1f", $1 / 1024 }' < <(tail -n 1 peak-kib.txt))
    size_mb=$(awk -v bytes="$(stat -c %s out.pdf)" 'BEGIN { printf "%.1f", bytes / 1e6 }')
    printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$class" "$work_name" \
      "$(median "${paper_times[@]}")" "$(median "${mark_times[@]}")" "$peak_mib" \
      "$(pages out.pdf)" "$size_mb"
  done
done
