#!/usr/bin/env bash
# Makes the release: dist/<name>-<version>.zip with installer.exe, the catalogue tool for Linux
# (catalog-tool) and Windows (catalog-tool.exe; its make-medium command takes the installer.exe
# beside it by default), the README for media and set-up authors, the kit, and SHA256SUMS.
#
#   release.sh [DIST_DIR]       (default: dist)
#
# Builds in $RELEASE_BUILD (default build/release). The same commit gives the same bytes from
# any folder: every date in the zip is SOURCE_DATE_EPOCH (default: the commit's time), entries
# are sorted and carry no extra fields.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dist=$(mkdir -p "${1:-dist}" && cd "${1:-dist}" && pwd)
build=${RELEASE_BUILD:-$root/build/release}
mkdir -p "$build"
build=$(cd "$build" && pwd)

version_of() { sed -n "s/^set($1 \(.*\))$/\1/p" cmake/version.cmake; }
name=$(version_of INSTALLER_RELEASE_NAME)
version=$(version_of INSTALLER_FILE_VERSION)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 946684800)
fi
export SOURCE_DATE_EPOCH

# The kit for set-up program authors, into kit/ of the zip: the header, the 32- and 64-bit
# libraries, and the example program with its source, built for both.
kit_files() {  # lines "SOURCE TARGET", TARGET relative to kit/
  echo "$root/kit/include/setup_handoff.h include/setup_handoff.h"
  echo "$build/win32/kit/libsetuphandoff.a lib32/libsetuphandoff.a"
  echo "$build/win64/kit/libsetuphandoff.a lib64/libsetuphandoff.a"
  echo "$root/kit/examples/example_setup.c examples/example_setup.c"
  echo "$build/win32/kit/example-setup.exe examples/example-setup.exe"
  echo "$build/win64/kit/example-setup.exe examples/example-setup64.exe"
}

echo "release: $name $version (dates $SOURCE_DATE_EPOCH)"
# The three release presets (CMakePresets.json), in $build.
for preset in native win32 win64; do
  cmake --preset "release-$preset" -B "$build/$preset" >/dev/null
  cmake --build --preset "release-$preset" >/dev/null
done

stage="$build/stage"
top="$name-$version"
rm -rf "$stage"
mkdir -p "$stage/$top"
cp "$build/win32/src/app/installer.exe" "$stage/$top/installer.exe"
cp "$build/win32/tools/catalog-tool/catalog-tool.exe" "$stage/$top/catalog-tool.exe"
cp "$build/native/tools/catalog-tool/catalog-tool" "$stage/$top/catalog-tool"
strip --strip-all "$stage/$top/catalog-tool"
i686-w64-mingw32-strip --strip-all "$stage/$top/catalog-tool.exe"
while read -r source target; do
  mkdir -p "$stage/$top/kit/$(dirname "$target")"
  cp "$source" "$stage/$top/kit/$target"
done < <(kit_files)
i686-w64-mingw32-strip --strip-all "$stage/$top/kit/examples/example-setup.exe"
x86_64-w64-mingw32-strip --strip-all "$stage/$top/kit/examples/example-setup64.exe"

# The zip's README: README-authors.md, whose "@section NAME" lines take that section of README.md.
{
  echo "# $name $version"
  echo
  while IFS= read -r line; do
    case "$line" in
      "@section "*)
        section=${line#@section }
        grep -qx "## $section" README.md || { echo "release: README.md has no section \"$section\"" >&2; exit 1; }
        awk -v want="## $section" '/^## / { inside = ($0 == want) } inside { print }' README.md |
          sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'
        ;;
      *) printf '%s\n' "$line" ;;
    esac
  done <README-authors.md
} >"$stage/$top/README.md"

(cd "$stage/$top" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
  xargs -d '\n' sha256sum >SHA256SUMS)
bash scripts/check-zip-readme.sh "$stage/$top"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
chmod -R u=rwX,go=rX "$stage"
chmod 755 "$stage/$top/catalog-tool"

zipfile="$dist/$top.zip"
temporary="$zipfile.tmp$$"
rm -f "$temporary"
(cd "$stage" && find "$top" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -@ "$temporary")
mv -f "$temporary" "$zipfile"
echo "release: $zipfile ($(stat -c %s "$zipfile") bytes)"
(cd "$stage/$top" && cat SHA256SUMS)
