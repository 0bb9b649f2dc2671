#!/usr/bin/env bash
# Installs, from Debian's archive, whatever of the build and test tools is missing, or of the
# packages named as arguments.
#
#   install-deps.sh [PACKAGE...]
set -euo pipefail

packages=("$@")
[ $# -gt 0 ] || packages=(cmake ninja-build g++ clang clang-tidy clang-format libclang-rt-14-dev libssl-dev openssl
          libgtest-dev libbenchmark-dev strace coreutils util-linux dpkg-dev file)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q >&2
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
