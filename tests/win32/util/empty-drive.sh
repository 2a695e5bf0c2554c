#!/usr/bin/env bash
# Maps (or unmaps) drive Q: of a build's Wine prefix to an empty folder, so that a test can search
# the root of a drive that holds no entry at all. empty-drive.sh add|remove BUILD_DIR
set -eu
build=$(cd "$2" && pwd)
link="$build/wineprefix/dosdevices/q:"
folder="$build/empty-drive"
case "$1" in
  add)
    rm -rf "$folder"
    mkdir -p "$folder"
    ln -sfn "$folder" "$link"
    ;;
  remove)
    rm -f "$link"
    rm -rf "$folder"
    ;;
  *) echo "usage: empty-drive.sh add|remove BUILD_DIR" >&2; exit 2 ;;
esac
