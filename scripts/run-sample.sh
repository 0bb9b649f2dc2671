#!/usr/bin/env bash
# Builds TarvikValidate and runs it on copies of the bundled samples in a fresh temporary folder,
# so that it can be run again and again: one protected file keyed by a SHA-1, one by a SHA-512,
# then a cryptogram.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target TarvikValidate
program=$PWD/build/default/TarvikValidate

work=$(mktemp -d)
for algorithm in sha1 sha512; do
  mkdir "$work/$algorithm"
  cp "samples/$algorithm/report.rcc" "$work/$algorithm/"
  hash=$(cat "samples/$algorithm/hash.txt")
  echo
  echo "\$ TarvikValidate report.rcc $hash    # in $work/$algorithm"
  (cd "$work/$algorithm" && "$program" report.rcc "$hash")
  if ! cmp -s "$work/$algorithm/report" samples/report.txt; then
    echo "The clear file $work/$algorithm/report differs from samples/report.txt" >&2
    exit 1
  fi
  echo "(the clear file $work/$algorithm/report equals samples/report.txt; the folder is kept)"
done
echo
echo "\$ TarvikValidate -a password"
"$program" -a password
