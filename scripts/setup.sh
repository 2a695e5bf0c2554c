#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages, only when it is missing.
# Safe to run again: when everything is there it does nothing slow.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# fonts-wine: Wine's own fonts, which wine only recommends; without its symbol font Wine draws a
# letter where the caption's close button shows its cross.
for p in cmake g++ make googletest libgtest-dev libbenchmark-dev \
         g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 \
         g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 \
         wine wine64 fonts-wine xvfb imagemagick clang libclang-rt-14-dev clang-format xorriso zip; do
  have_pkg "$p" || need+=("$p")
done
# 32-bit Wine, and with it the i386 architecture, only where the kernel starts 32-bit programs:
# elsewhere the Windows suite runs on the 64-bit build, and the 32-bit build is checked as a file.
. "$(dirname "$0")/host-32bit.sh"
want_i386=0
if host_runs_32bit_code; then
  want_i386=1
  have_pkg wine32:i386 || need+=("wine32:i386")
fi

# The locales of the tests' Wine prefixes: one per ANSI code page (1251, 1252 and 932) and the
# other user languages of 1252 (German, French, Italian).
need_locales=()
for l in ru_RU en_US ja_JP de_DE fr_FR it_IT; do
  locale -a 2>/dev/null | grep -qi "^$l\.utf-\?8$" || need_locales+=("$l")
done

if [ ${#need[@]} -eq 0 ] && [ ${#need_locales[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "setup: installing ${need[*]:-} (locales: ${need_locales[*]:-})"
if [ $want_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync can fail one index; what the others hold still installs.
update() { $SUDO apt-get update -qq || echo "setup: apt-get update reported errors; installing from what it got" >&2; }
if [ ${#need[@]} -gt 0 ]; then
  update
  # When an update index of one architecture could not be fetched, the two architectures see
  # different versions of shared libraries; the release's own versions then fit both.
  install() { $SUDO apt-get install -y -qq --no-install-recommends "$@" "${need[@]}" >/dev/null; }
  install || {
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    echo "setup: retrying with the packages of the release ${release}" >&2
    install -o APT::Default-Release="$release"
  }
fi
# Wine takes the ANSI code page and the user's language from the locale: Russian gives 1251,
# American English, German, French and Italian 1252, Japanese 932.
if [ ${#need_locales[@]} -gt 0 ]; then
  have_pkg locales || { update; $SUDO apt-get install -y -qq locales >/dev/null; }
  for l in "${need_locales[@]}"; do
    $SUDO localedef -i "$l" -f UTF-8 "$l.UTF-8"
  done
fi
# MinGW's posix-thread flavour is the one the build uses.
if [ -x /usr/bin/i686-w64-mingw32-g++-posix ]; then
  $SUDO update-alternatives --set i686-w64-mingw32-g++ /usr/bin/i686-w64-mingw32-g++-posix >/dev/null 2>&1 || true
  $SUDO update-alternatives --set i686-w64-mingw32-gcc /usr/bin/i686-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
fi
if [ -x /usr/bin/x86_64-w64-mingw32-g++-posix ]; then
  $SUDO update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || true
  $SUDO update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
fi
echo "setup: done"
