#!/usr/bin/env bash
# Makes a protected file from a clear file with nothing but the openssl command-line tool and
# coreutils, so that the file format is produced independently of TarvikValidate's own code.
#
#   make-protected-file.sh CLEAR_FILE sha1|sha512 OUTPUT.rcc
#
# Prints the hash text (lower case) that validates OUTPUT.rcc.
#
# Layout: the 8 bytes "*PA-DSS*"; the clear content's whole 64-byte chunks encrypted with two-key
# triple DES in CBC mode, without padding; the remaining 0 to 63 bytes as they are. The keys are
# cut from the digest of the clear content: K1 = bytes 0-7, K2 = bytes 8-15, IV = bytes 12-19.
set -euo pipefail

if [ $# -ne 3 ] || { [ "$2" != sha1 ] && [ "$2" != sha512 ]; }; then
  echo "usage: $0 CLEAR_FILE sha1|sha512 OUTPUT.rcc" >&2
  exit 64
fi
clear=$1 algorithm=$2 output=$3

hash=$("${algorithm}sum" < "$clear" | cut -d' ' -f1)
k1=${hash:0:16}
k2=${hash:16:16}
iv=${hash:24:16}
size=$(wc -c < "$clear")
whole=$(( size / 64 * 64 ))

{
  printf '*PA-DSS*'
  if [ "$whole" -gt 0 ]; then
    head -c "$whole" "$clear" | openssl enc -des-ede-cbc -nopad -K "$k1$k2" -iv "$iv"
  fi
  tail -c "$(( size - whole ))" "$clear"
} > "$output"

echo "$hash"
