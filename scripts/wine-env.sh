# Sourced: the environment every Wine process of a build runs in.
#   . wine-env.sh BUILD_DIR [CODEPAGE]
# CODEPAGE is the ANSI code page the Wine programs are to see: 1251 (the default), 1252 or 932;
# without the argument it is taken from WINE_CODEPAGE, so that a test run under wine-run.sh picks
# its prefix through its environment. Each code page has a private prefix of its own in the build
# folder (wineprefix for 1251, wineprefix-cp1252 and wineprefix-cp932), with its own server and
# logs; all of them use the build's one virtual display.
wine_build_dir=$(cd "$1" && pwd)
wine_codepage=${2:-${WINE_CODEPAGE:-1251}}
# Wine takes the ANSI code page from the locale. Only the Wine processes get it, as
# `env "${wine_locale_env[@]}" wine ...`; the sourcing script keeps its own locale.
case "$wine_codepage" in
  1251) wine_locale=ru_RU.UTF-8 wine_suffix= ;;
  1252) wine_locale=en_US.UTF-8 wine_suffix=-cp1252 ;;
  932) wine_locale=ja_JP.UTF-8 wine_suffix=-cp932 ;;
  *)
    echo "wine-env: no locale is set up for the code page '$wine_codepage' (1251, 1252 or 932)" >&2
    return 2
    ;;
esac
wine_locale_env=(LANG=$wine_locale LC_ALL=$wine_locale)
export WINEPREFIX="$wine_build_dir/wineprefix$wine_suffix"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="
if [ -f "$wine_build_dir/xvfb.display" ]; then
  export DISPLAY=":$(cat "$wine_build_dir/xvfb.display")"
fi
