#!/usr/bin/env bash
# Builds the sample installation medium: installer.exe, install.crt packed from
# samples/medium/catalog.txt, and a set-up program in each localization folder.
#
#   make-medium.sh [OUT_DIR]       (default: build/medium)
#
# Takes the Windows programs from $WIN32_BUILD (default build/win32) and the catalogue tool from
# $NATIVE_BUILD (default build/native). A piece that is not built yet is left out with a note.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/medium}
win32=${WIN32_BUILD:-$root/build/win32}
native=${NATIVE_BUILD:-$root/build/native}

installer="$win32/src/app/installer.exe"
setup="$win32/tools/reference-setup/reference-setup.exe"
tool="$native/tools/catalog-tool/catalog-tool"
source_catalog="$root/samples/medium/catalog.txt"

if [ ! -f "$installer" ]; then
  echo "make-medium: $installer is missing; build the win32 preset first" >&2
  exit 1
fi

mkdir -p "$out"
cp -f "$installer" "$out/installer.exe"
echo "make-medium: installer.exe"

if [ -x "$tool" ] && [ -f "$source_catalog" ]; then
  "$tool" pack "$source_catalog" -o "$out/install.crt" --force
  echo "make-medium: install.crt from samples/medium/catalog.txt"
else
  [ -x "$tool" ] || echo "make-medium: note: no catalogue tool at $tool; install.crt left out"
  [ -f "$source_catalog" ] || echo "make-medium: note: no $source_catalog; install.crt left out"
fi

for language in English German French Italian Russian; do
  if [ -f "$setup" ]; then
    mkdir -p "$out/$language"
    cp -f "$setup" "$out/$language/setup.exe"
  fi
done
if [ -f "$setup" ]; then
  echo "make-medium: setup.exe in English German French Italian Russian"
else
  echo "make-medium: note: no reference set-up program at $setup; set-up folders left out"
fi
echo "make-medium: medium at $out"
