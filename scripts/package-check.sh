#!/usr/bin/env bash
# Builds the packages, installs the .deb, runs TarvikValidate from PATH on a copy of the bundled
# SHA-1 sample, and removes the package again. Needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

cmake --workflow --preset package >/dev/null
deb=$(ls build/package/tarvikvalidate_*.deb)
echo "Installing $deb"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$deb" >/dev/null
trap '"${sudo[@]}" apt-get remove -y -q tarvikvalidate >/dev/null' EXIT

work=$(mktemp -d)
cp samples/sha1/report.rcc "$work/"
hash=$(cat samples/sha1/hash.txt)
output=$(cd "$work" && env PATH=/usr/bin:/bin TarvikValidate report.rcc "$hash")
expected='Validating hash
Hash value is correct
Decrypting file report.rcc
Decryption to report complete
Validate processing completed successfully'
if [ "$(tail -n +3 <<<"$output")" != "$expected" ] || ! cmp -s "$work/report" samples/report.txt; then
  echo "The installed TarvikValidate did not validate the sample:" >&2
  echo "$output" >&2
  exit 1
fi
rm -rf "$work"
echo "The installed $(command -v TarvikValidate) validated and decrypted the sample."
