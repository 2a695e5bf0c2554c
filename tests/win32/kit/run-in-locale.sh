#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix with another Unix locale, so
# that the program and what it starts run in that locale's ANSI code page:
#   run-in-locale.sh LOCALE BUILD_DIR PROGRAM [ARGS...]
set -u
locale=$1
shift
. "$(dirname "$0")/../../../scripts/wine-env.sh" "$1"
shift
exec env LANG="$locale" LC_ALL="$locale" wine "$@"
