#!/usr/bin/env bash
# Builds the sample installation medium with `catalog-tool make-medium`: installer.exe,
# install.crt packed from samples/medium/catalog.txt, autorun.inf and the reference set-up
# program as setup.exe in each localization folder; the folder OUT_DIR and the image OUT_DIR.iso.
#
#   sample-medium.sh [OUT_DIR]       (default: build/medium)
#
# Takes the Windows programs from $WIN32_BUILD (default build/win32) and the catalogue tool from
# $NATIVE_BUILD (default build/native). Every piece has to be built; a missing one is an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/medium}
win32=${WIN32_BUILD:-$root/build/win32}
native=${NATIVE_BUILD:-$root/build/native}

installer="$win32/src/app/installer.exe"
setup="$win32/tools/reference-setup/reference-setup.exe"
tool="$native/tools/catalog-tool/catalog-tool"
for piece in "$installer" "$setup" "$tool"; do
  if [ ! -f "$piece" ]; then
    echo "sample-medium: $piece is missing; build the native and win32 presets first" >&2
    exit 1
  fi
done

# The set-up programs' folder, laid out as the catalogue's values say.
setups="$out.setups"
rm -rf "$setups"
for language in English German French Italian Russian; do
  mkdir -p "$setups/$language"
  cp -f "$setup" "$setups/$language/setup.exe"
done
"$tool" make-medium "$root/samples/medium/catalog.txt" "$setups" --label "SAMPLE MEDIUM" \
  --installer "$installer" -o "$out" --image "$out.iso" --force
rm -rf "$setups"
