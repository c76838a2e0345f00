#!/usr/bin/env bash
# Installs what the builds need, non-interactively. Quiet when all is present.
#
# Every machine builds the 32-bit plug-in and runs the 64-bit suites: the two
# mingw-w64 cross compilers, wine64, clang, stb, googletest, cmake. Where the
# kernel can run 32-bit x86 programs, Wine's 32-bit part and the -m32
# libraries are installed too; when they cannot be (a package mirror out of
# step, say), the 32-bit suites are skipped and `make test` says why.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

need=()
have_cmd i686-w64-mingw32-g++-posix   || need+=(g++-mingw-w64-i686-posix)
have_pkg mingw-w64-i686-dev           || need+=(mingw-w64-i686-dev)
have_cmd x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have_pkg mingw-w64-x86-64-dev         || need+=(mingw-w64-x86-64-dev)
[ -x /usr/lib/wine/wine64 ]           || need+=(wine64)
have_cmd clang++                      || need+=(clang)
have_pkg libclang-rt-14-dev           || need+=(libclang-rt-14-dev)
have_pkg libstb-dev                   || need+=(libstb-dev)
have_pkg googletest                   || need+=(googletest)
have_cmd cmake                        || need+=(cmake)

# The 32-bit run-time part, only where 32-bit programs can run at all (the
# probe, which builds and runs programs, only when something is missing).
need32=()
have_pkg wine32:i386  || need32+=(wine32:i386)
have_pkg g++-multilib || need32+=(g++-multilib)
# A failed attempt at it is not repeated for an hour.
failed32="$root/build/.bootstrap-32-failed"
if [ ${#need32[@]} -gt 0 ] && [ -n "$(find "$failed32" -mmin -60 2>/dev/null)" ]; then
  need32=()
fi
if [ ${#need32[@]} -gt 0 ] && "$root/tools/probe-32" | grep -q 'kernel refuses'; then
  need32=()
fi

[ ${#need[@]} -eq 0 ] && [ ${#need32[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages (${need[*]} ${need32[*]}); run as root to install them" >&2
  exit 1
fi
echo "bootstrap: installing ${need[*]} ${need32[*]}"
export DEBIAN_FRONTEND=noninteractive
# A package index that fails to download (a mirror being synced) is reported
# by apt and left out; what can be installed still is.
apt-get update -qq 2>&1 | grep -v '^ ' >&2 || true
if [ ${#need[@]} -gt 0 ]; then
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
if [ ${#need32[@]} -gt 0 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || {
    dpkg --add-architecture i386
    apt-get update -qq 2>&1 | grep -v '^ ' >&2 || true
  }
  if apt-get install -y -qq --no-install-recommends "${need32[@]}" >/dev/null 2>&1; then
    rm -f "$failed32"
  else
    mkdir -p "$root/build" && touch "$failed32"
    echo "bootstrap: could not install ${need32[*]}; the 32-bit suites will be skipped" >&2
  fi
fi
# What the machine can run may have changed.
rm -f "$root/build/machine.mk"
