#!/usr/bin/env bash
# Prepares this Debian machine to build and test the Windows program: the mingw-w64 cross
# compiler, Wine, and a static OpenSSL for 64-bit Windows built from Debian's source package.
# The built OpenSSL is kept in a cache folder named after its version, so only the first run on a
# machine pays for it. Prints the OpenSSL prefix as its last line.
set -euo pipefail

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

"$(dirname "$0")/install-deps.sh" g++-mingw-w64-x86-64-posix wine64 dpkg-dev make perl zip googletest

bookwormSource() { apt-cache madison openssl | awk -F' [|] ' '$3 ~ / bookworm\/main Sources/ {print $2}'; }
if [ -z "$(bookwormSource)" ]; then
  sources=/etc/apt/sources.list.d/debian.sources
  if [ -f "$sources" ]; then
    "${sudo[@]}" sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
  else
    echo "deb-src http://deb.debian.org/debian bookworm main" |
      "${sudo[@]}" tee /etc/apt/sources.list.d/tarvik-deb-src.list >/dev/null
  fi
  "${sudo[@]}" apt-get update -q >&2
fi
version=$(bookwormSource | head -n 1)
[ -n "$version" ] || { echo "No OpenSSL source package for bookworm" >&2; exit 1; }
cache=${TARVIK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvik}
prefix="$cache/openssl-mingw64-$version"

if [ ! -f "$prefix/lib/libcrypto.a" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  echo "Building OpenSSL $version for 64-bit Windows (a few minutes)" >&2
  (cd "$work" && apt-get source -q --download-only openssl/bookworm >&2 &&
     dpkg-source -x --no-check openssl_*.dsc src >&2)
  # Installed beside the cache and moved into place whole, so a broken build is never cached.
  (cd "$work/src" &&
     ./Configure mingw64 no-shared no-tests --cross-compile-prefix=x86_64-w64-mingw32- \
       --prefix="$work/prefix" --libdir=lib >&2 &&
     make -j"$(nproc)" build_libs >&2 &&
     make install_dev >&2)
  mkdir -p "$cache"
  rm -rf "$prefix"
  mv "$work/prefix" "$prefix"
fi
echo "$prefix"
