#!/usr/bin/env bash
# Proves the release reproducible: exports the current commit into two folders of different
# depth, makes the release in each (scripts/release.sh) and compares installer.exe and the zip
# byte for byte. Then makes a medium with the zip's own catalog-tool and the installer.exe
# beside it, as a media author would. Uncommitted changes are not part of the commit.
#
#   check-reproducible.sh [WORK_DIR]      (default: build/reproducible)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$root/build/reproducible}
rm -rf "$work"
mkdir -p "$work/a" "$work/b/deeper/checkout"
one="$work/a"
two="$work/b/deeper/checkout"
# One commit for both, and both dated with its own time, whatever the caller's environment says
# (the exports hold no repository, and a commit made meanwhile must not date one of them).
commit=$(git -C "$root" rev-parse HEAD)
for dir in "$one" "$two"; do
  git -C "$root" archive --format=tar "$commit" | tar -x -C "$dir"
done
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH
for dir in "$one" "$two"; do
  (cd "$dir" && bash scripts/release.sh "$dir/dist" >"$dir/release.log" 2>&1) ||
    { cat "$dir/release.log" >&2; exit 1; }
done

status=0
zipname=$(cd "$one/dist" && ls -- *.zip)
for file in "build/release/win32/src/app/installer.exe" "dist/$zipname"; do
  if cmp "$one/$file" "$two/$file"; then
    echo "check-reproducible: same bytes: $file ($(stat -c %s "$one/$file") bytes)"
  else
    echo "check-reproducible: DIFFERENT: $one/$file and $two/$file" >&2
    status=1
  fi
done

# The zip as a media author gets it: its catalog-tool finds its installer.exe by itself.
unpacked="$work/unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$one/dist/$zipname")
top=$(cd "$unpacked" && ls)
(cd "$unpacked/$top" && sha256sum --quiet -c SHA256SUMS)
mkdir -p "$work/setups/English"
printf 'MZ' >"$work/setups/English/setup.exe"
printf '[Артикулы]\nE1 S "%%:\\English\\setup.exe"\n' >"$work/catalog.txt"
"$unpacked/$top/catalog-tool" make-medium "$work/catalog.txt" "$work/setups" --label SMOKE \
  -o "$work/medium" >/dev/null
cmp "$work/medium/installer.exe" "$unpacked/$top/installer.exe"
echo "check-reproducible: the zip's catalog-tool made a medium with its own installer.exe"
exit $status
