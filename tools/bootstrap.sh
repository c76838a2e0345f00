#!/usr/bin/env bash
# Installs what the builds need, non-interactively. Quiet when all is present.
#
# Every machine builds the 32-bit plug-in and runs the 64-bit suites: the two
# mingw-w64 cross compilers, wine64, clang, stb, googletest, cmake. Where the
# kernel can run 32-bit x86 programs (or INSTALL32=yes is given), Wine's
# 32-bit part and the -m32 libraries are installed too, in the same apt
# transaction, so that both halves of every multi-arch library come at one
# version. When that still cannot be done, apt's own cause is shown, the
# 32-bit suites are skipped and `make test` says why.
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
have_cmd clang-format                 || need+=(clang-format)

# The 32-bit run-time part, only where 32-bit programs can run at all.
need32=()
have_pkg wine32:i386  || need32+=(wine32:i386)
have_pkg g++-multilib || need32+=(g++-multilib)
# A failed attempt at it is not repeated for an hour (make calls this often).
failed32="$root/build/.bootstrap-32-failed"
if [ ${#need32[@]} -gt 0 ] && [ "${INSTALL32:-}" != yes ]; then
  if [ -n "$(find "$failed32" -mmin -60 2>/dev/null)" ] || ! "$root/tools/probe-32" --kernel; then
    need32=()
  fi
fi

[ ${#need[@]} -eq 0 ] && [ ${#need32[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages (${need[*]} ${need32[*]}); run as root to install them" >&2
  exit 1
fi
echo "bootstrap: installing ${need[*]} ${need32[*]}"
export DEBIAN_FRONTEND=noninteractive
mkdir -p "$root/build"
log="$root/build/bootstrap-apt.log"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ${#need32[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# A package index that fails to download (a mirror being synced) is left out
# by apt; what can be installed still is. Which ones failed is kept: the
# 32-bit install below depends on it.
apt-get update >"$work/update" 2>&1 || true
sed -nE 's|^E: Failed to fetch \S*/dists/([^/ ]+)/\S*binary-([a-z0-9]+)/\S*\s+(.*)|\1 \2 \3|p' \
  "$work/update" | sort -u >"$work/failed-indexes"
while read -r suite arch cause; do
  echo "bootstrap: apt could not fetch the $arch package index of $suite ($cause)" >&2
done <"$work/failed-indexes"

install() {  # PACKAGES... (apt options first): apt's output goes to the log
  apt-get install -y --no-install-recommends "$@" >>"$log" 2>&1
}
: >"$log"
if [ ${#need32[@]} -eq 0 ]; then
  install "${need[@]}" || { cat "$log" >&2; exit 1; }
elif install "${need[@]}" "${need32[@]}"; then
  rm -f "$failed32"
else
  # The usual cause: a suite whose i386 index is missing while its amd64 one
  # is newer, so a library's two halves would come at two versions, which
  # multi-arch forbids. That suite is held back for this install, and a
  # library already installed at one of its versions is brought back to the
  # version its i386 half can have.
  "$root/tools/apt-matching-versions" "$work/failed-indexes" "${need[@]}" "${need32[@]}" \
    >"$work/preferences"
  echo "bootstrap: retrying with both architectures at one version:" \
       "$(grep -c '^Package:' "$work/preferences") pins (apt's output: $log)"
  [ -f /etc/apt/preferences ] && cat /etc/apt/preferences >>"$work/preferences"
  if install -o Dir::Etc::Preferences="$work/preferences" --allow-downgrades \
       "${need[@]}" "${need32[@]}"; then
    rm -f "$failed32"
    downgraded=$(sed -n '/^The following packages will be DOWNGRADED:/,/^[^ ]/{/^ /p}' "$log" | xargs)
    [ -z "$downgraded" ] ||
      echo "bootstrap: brought back to the version of their i386 halves: $downgraded"
  else
    touch "$failed32"
    echo "bootstrap: apt could not install ${need32[*]}; its own words:" >&2
    grep -E '^(E:| )' "$log" | head -20 >&2
    echo "bootstrap: the 32-bit suites will be skipped; README, \"When the 32-bit part does" \
         "not install\", says what to do" >&2
    # The 64-bit part is still needed on its own.
    if [ ${#need[@]} -gt 0 ]; then install "${need[@]}" || { cat "$log" >&2; exit 1; }; fi
  fi
fi
