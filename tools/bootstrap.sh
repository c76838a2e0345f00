#!/usr/bin/env bash
# Installs what the two builds need, non-interactively. Quiet when all is present.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686)
have_pkg mingw-w64-i686-dev        || need+=(mingw-w64-i686-dev)
have_cmd wine                      || need+=(wine)
have_pkg wine32:i386               || need+=(wine32:i386)
have_pkg g++-multilib              || need+=(g++-multilib)
have_cmd clang++                   || need+=(clang)
have_pkg libclang-rt-14-dev        || need+=(libclang-rt-14-dev)
have_pkg libstb-dev                || need+=(libstb-dev)
have_pkg googletest                || need+=(googletest)
have_cmd cmake                     || need+=(cmake)

[ ${#need[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages (${need[*]}); run as root to install them" >&2
  exit 1
fi
echo "bootstrap: installing ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
