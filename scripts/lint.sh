#!/usr/bin/env bash
# Fails on code that clang-format would change or that clang-tidy (.clang-tidy) complains about.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
mapfile -t units < <(git ls-files '*.cpp' | grep -v -e '^fuzz/' -e '_windows\.cpp$')

echo "clang-format: ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}"

cmake --preset lint >/dev/null
echo "clang-tidy: ${#units[@]} files"
printf '%s\n' "${units[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p build/lint --quiet
