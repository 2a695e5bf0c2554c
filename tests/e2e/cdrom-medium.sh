#!/usr/bin/env bash
# Builds a medium image with `catalog-tool make-medium`, extracts it with xorriso's own
# extraction and maps the extracted folder as CD-ROM drive D: of a build's Wine prefix (or
# takes all that away again).
#
#   cdrom-medium.sh add BUILD_DIR CATALOG_TOOL     (the catalogue tool built natively)
#   cdrom-medium.sh remove BUILD_DIR
#
# The medium: installer.exe, and the reference set-up program as English\setup.exe and as
# Русский\setup.exe for the articles E1234 and R1234.
set -euo pipefail
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work="$build/cdrom"
letter=d:
# shellcheck source=tests/harness/wine-env.sh
. "$here/../harness/wine-env.sh" "$build"
link="$WINEPREFIX/dosdevices/$letter"

# The prefix's server reads the drive types when it starts. The prefix's own processes start
# here, detached from the test's output pipes, as the wine fixture starts them.
restart_server() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  setsid wineserver -p </dev/null >>"$build/wineserver.log" 2>&1
  timeout 300 wineboot -i </dev/null >>"$build/wineboot.log" 2>&1
}

case "$1" in
  add)
    tool=$3
    if [ ! -x "$tool" ]; then
      echo "cdrom-medium: no catalogue tool at $tool; build the native preset first" >&2
      exit 1
    fi
    command -v xorriso >/dev/null || { echo "cdrom-medium: xorriso is missing (run scripts/setup.sh)" >&2; exit 1; }
    setup="$build/tests/programs/reference-setup/reference-setup-steered.exe"
    rm -rf "$work"
    mkdir -p "$work/setups/English" "$work/setups/Русский"
    cp "$setup" "$work/setups/English/setup.exe"
    cp "$setup" "$work/setups/Русский/setup.exe"
    printf '[Артикулы]\nE1234 S "%%:\\English\\setup.exe"\nR1234 S "%%:\\Русский\\setup.exe"\n' \
      >"$work/catalog.txt"
    "$tool" make-medium "$work/catalog.txt" "$work/setups" --label "CDROM TEST" \
      --installer "$build/src/app/installer.exe" --image "$work/medium.iso"
    # Joliet names are what Windows shows: the Cyrillic folder has to be there whole.
    joliet=$(xorriso -no_rc -indev "$work/medium.iso" -rockridge off -find / 2>/dev/null)
    if ! grep -qx "'/Русский/setup.exe'" <<<"$joliet"; then
      echo "cdrom-medium: the image's Joliet tree lacks /Русский/setup.exe:" >&2
      echo "$joliet" >&2
      exit 1
    fi
    xorriso -no_rc -osirrox on -indev "$work/medium.iso" -extract / "$work/drive" 2>/dev/null
    ln -sfn "$work/drive" "$link"
    wine reg add 'HKLM\Software\Wine\Drives' /v "$letter" /d cdrom /f </dev/null >/dev/null 2>&1
    restart_server
    echo "cdrom-medium: $work/medium.iso extracted to $work/drive, mapped as CD-ROM drive $letter"
    ;;
  remove)
    rm -f "$link"
    wine reg delete 'HKLM\Software\Wine\Drives' /v "$letter" /f </dev/null >/dev/null 2>&1 || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
    ;;
  *) echo "usage: cdrom-medium.sh add BUILD_DIR CATALOG_TOOL | remove BUILD_DIR" >&2; exit 2 ;;
esac
