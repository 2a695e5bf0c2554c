#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix: wine-run.sh BUILD_DIR PROGRAM
# [ARGS...]. The prefix is the one of the code page WINE_CODEPAGE and the DPI WINE_DPI name
# (default 1251 and 96).
set -u
. "$(dirname "$0")/wine-env.sh" "$1" || exit 2
shift
exec env "${wine_locale_env[@]}" wine "$@"
