# Sourced: the environment every Wine process of a build runs in.
# $1 is the build folder; its private prefix lives inside it.
wine_build_dir=$(cd "$1" && pwd)
export WINEPREFIX="$wine_build_dir/wineprefix"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="
# The ANSI code page is 1251 only when both are Russian. Only the Wine processes get them, as
# `env "${wine_locale_env[@]}" wine ...`; the sourcing script keeps its own locale.
wine_locale_env=(LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8)
if [ -f "$wine_build_dir/xvfb.display" ]; then
  export DISPLAY=":$(cat "$wine_build_dir/xvfb.display")"
fi
