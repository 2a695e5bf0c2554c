#!/usr/bin/env bash
# The shipped installer.exe, the 32-bit build, checked as a file without running it, so that a
# host that runs no 32-bit program checks it too:
#   shipped-installer.sh OBJDUMP WINDRES MANIFEST INSTALLER_32 INSTALLER_64
# - a 32-bit x86 program (PE32) for the Windows GUI subsystem;
# - its resources (icons, picture, string table, dialog templates, version, manifest) are byte for
#   byte those of the 64-bit build, both compiled from the one installer.rc; the Windows suite
#   checks their content on whichever build it runs;
# - its manifest is MANIFEST.
# Every fault is listed; the exit code is 1 when there is one.
set -u
objdump=$1 windres=$2 manifest=$3 exe32=$4 exe64=$5
status=0
fail() { echo "shipped-installer: $*"; status=1; }

for exe in "$exe32" "$exe64"; do
  [ -f "$exe" ] || { echo "shipped-installer: $exe is missing (build the win32 and win64 presets)"; exit 1; }
done

header=$("$objdump" -f "$exe32" 2>&1)
grep -q 'file format pei-i386' <<<"$header" || fail "$exe32 is not a 32-bit x86 Windows program:
$header"
private=$("$objdump" -p "$exe32")
grep -qE '^Magic[[:space:]]+010b' <<<"$private" || fail "$exe32 is not PE32 (optional header magic 010b)"
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$private" || fail "$exe32 is not for the Windows GUI subsystem"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dump() { "$windres" -J coff -i "$1" -O rc -o "$2" 2>"$work/windres.err" || { cat "$work/windres.err"; return 1; }; }
dump "$exe32" "$work/32.rc" || fail "the resources of $exe32 cannot be read"
dump "$exe64" "$work/64.rc" || fail "the resources of $exe64 cannot be read"
if [ -f "$work/32.rc" ] && [ -f "$work/64.rc" ] && ! cmp -s "$work/32.rc" "$work/64.rc"; then
  fail "the resources of the 32-bit and the 64-bit installer differ:"
  diff "$work/32.rc" "$work/64.rc" | head -20
fi
for type in bitmap icon 'group icon' dialog stringtable version 24; do
  grep -qx "/\* Type: $type" "$work/32.rc" || fail "$exe32 holds no resource of the type '$type'"
done

# The manifest's bytes as the resource compiler writes them, against those in the program.
data() { awk '/^BEGIN/ {inside = 1; next} /^END/ {inside = 0} inside' "$1"; }
printf '1 24 "%s"\n' "$manifest" >"$work/manifest.rc"
"$windres" -i "$work/manifest.rc" -O rc -o "$work/manifest.out.rc" || fail "$manifest cannot be compiled"
awk '/^\/\* Type: 24/ {inside = 1} inside' "$work/32.rc" >"$work/32.manifest.rc" 2>/dev/null
if [ "$(data "$work/32.manifest.rc")" != "$(data "$work/manifest.out.rc")" ]; then
  fail "the manifest in $exe32 is not $manifest"
fi
[ $status -eq 0 ] && echo "shipped-installer: $exe32 is a 32-bit GUI program with the 64-bit build's resources and its manifest"
exit $status
