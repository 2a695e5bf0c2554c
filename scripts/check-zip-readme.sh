#!/usr/bin/env bash
# Checks that the release's README names only what the release holds: every file of the kit it
# names is there, and nothing of the source tree (scripts, build folders, presets, test programs,
# the reference set-up program) is named. check-zip-readme.sh STAGE_DIR (the zip's top folder).
set -euo pipefail
stage=$1
readme="$stage/README.md"
status=0
if grep -nE '(^|[^[:alnum:]_-])(scripts|build|tools|tests|src|bench)/|preset|ctest|cmake|CMake|reference.set-up|reference-setup|Wine|wine' "$readme"; then
  echo "check-zip-readme: the lines above name what the release does not hold" >&2
  status=1
fi
while read -r path; do
  [ -e "$stage/$path" ] || { echo "check-zip-readme: $path is named but not in the release" >&2; status=1; }
done < <(grep -oE '`(kit/[^` ]+|installer\.exe|catalog-tool(\.exe)?|SHA256SUMS)`' "$readme" | tr -d '`' | sort -u)
exit $status
