#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -u
. "$(dirname "$0")/wine-env.sh" "$1"
shift
exec env "${wine_locale_env[@]}" wine "$@"
