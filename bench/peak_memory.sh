#!/usr/bin/env bash
# The peak memory of whole tapsmith-cli runs, the designer's cases of the
# benchmark: with three resistors, and with R4 on E96 and E192. GNU time
# reports the most the process held resident.
#   bench/peak_memory.sh TAPSMITH_CLI
set -euo pipefail
cli=$1
common=(--vo 3.3 --vo2 5% --vfb 0.8 --r1-min 10 --r1-max 1M --tolerance 1% --best 10)
report=$(mktemp)
trap 'rm -f "$report"' EXIT
run() {
  local name=$1
  shift
  /usr/bin/time -f "$name: %e s, peak %M kB" "$cli" "$@" >/dev/null 2>"$report" || true
  tail -1 "$report"
}
run "E96, three resistors" --list E96 "${common[@]}"
run "E96, R4 in parallel, --worst-case" --list E96 "${common[@]}" --worst-case --r4 parallel
run "E192, R4 in parallel, --worst-case" --list E192 "${common[@]}" --worst-case --r4 parallel

# The boards: every rail's divider at once from E96 1k..1M and a BOM of
# eight common values, 1 % parts, the whole worst case inside each window.
boards=$(dirname "$0")/boards
board=(--list E96 --range 1k..1M --r1-min 1k --r1-max 1M --tolerance 1% --worst-case
       --bom "1k, 2.2k, 4.7k, 10k, 22k, 47k, 100k, 220k")
run "board of six rails" --board "$boards/six-rails.txt" "${board[@]}"
run "board of six rails, R4 in parallel" --board "$boards/six-rails.txt" "${board[@]}" --r4 parallel
run "board of sixteen rails" --board "$boards/sixteen-rails.txt" "${board[@]}"
run "board of sixteen rails, R4 in parallel" --board "$boards/sixteen-rails.txt" "${board[@]}" --r4 parallel
