#!/usr/bin/env bash
# Remakes the bundled samples from report.txt: one protected file keyed by the SHA-1 of the
# content and one keyed by its SHA-512, each in its own folder beside the hash that validates it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for algorithm in sha1 sha512; do
  mkdir -p "$here/$algorithm"
  "$here/make-protected-file.sh" "$here/report.txt" "$algorithm" "$here/$algorithm/report.rcc" \
    > "$here/$algorithm/hash.txt"
done
