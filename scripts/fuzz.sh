#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 60), starting from the committed seed
# corpus. New inputs go to a scratch corpus, so the committed one stays as it is; a finding stops
# its target, leaves the crashing input in the working folder and fails the script.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --workflow --preset fuzz >/dev/null

# The protected-file target writes and syncs files: a memory-backed folder keeps it fast.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for target in hash_text protected_file input_name cryptogram; do
  mkdir "$work/$target"
  log="$work/$target.log"
  if build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="fuzz-$target-" "$work/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
    tail -n 40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz_$target: $result, ${runs:-?} executions in ${seconds}s"
done
exit "$failed"
