# Sourced: the environment every Wine process of a build runs in.
#   . wine-env.sh BUILD_DIR [CODEPAGE [DPI [LANGUAGE]]]
# CODEPAGE is the ANSI code page the Wine programs are to see: 1251 (the default), 1252 or 932;
# without the argument it is taken from WINE_CODEPAGE, so that a test run under wine-run.sh picks
# its prefix through its environment. DPI is the system's DPI they are to see (LogPixels): 96 (the
# default) or another value from 96 to 480, from WINE_DPI likewise. Each code page and DPI has a
# private prefix of its own in the build folder (wineprefix for 1251 at 96 DPI, wineprefix-cp1252,
# wineprefix-cp932, wineprefix-dpi144, wineprefix-cp1252-dpi144 ...), with its own server and
# logs; all of them use the build's one virtual display. LANGUAGE (or WINE_LANGUAGE) is the user's
# language of a 1252 prefix: en (the default), or de, fr or it for a prefix of its own
# (wineprefix-cp1252-de ...), whose programs see that language as the user's UI language and
# locale. The 1251 prefix's user is Russian, the 932 prefix's Japanese.
wine_build_dir=$(cd "$1" && pwd)
wine_codepage=${2:-${WINE_CODEPAGE:-1251}}
wine_dpi=${3:-${WINE_DPI:-96}}
wine_language=${4:-${WINE_LANGUAGE:-}}
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
case "$wine_codepage:$wine_language" in
  *: | 1252:en) ;;
  1252:de | 1252:fr | 1252:it)
    wine_locale=${wine_language}_${wine_language^^}.UTF-8 wine_suffix=$wine_suffix-$wine_language
    ;;
  *)
    echo "wine-env: no locale is set up for the language '$wine_language' under the code page" \
      "$wine_codepage (1252 with en, de, fr or it)" >&2
    return 2
    ;;
esac
case "$wine_dpi" in
  '' | *[!0-9]* | 0*)
    echo "wine-env: the DPI '$wine_dpi' is not a whole number from 96 to 480" >&2
    return 2
    ;;
esac
if [ "$wine_dpi" -lt 96 ] || [ "$wine_dpi" -gt 480 ]; then
  echo "wine-env: the DPI '$wine_dpi' is not a whole number from 96 to 480" >&2
  return 2
fi
[ "$wine_dpi" -eq 96 ] || wine_suffix="$wine_suffix-dpi$wine_dpi"
# A build runs its programs in prefixes of its own architecture: the 64-bit build (whose CMake
# configuration writes "win64" to BUILD_DIR/wine-arch) in 64-bit prefixes, the 32-bit build in
# 32-bit ones. WINE_ARCH names the other one for a prefix beside them (the 32-bit build's
# wineprefix-win64, where 32-bit and 64-bit programs run side by side as on 64-bit Windows).
wine_build_arch=$(cat "$wine_build_dir/wine-arch" 2>/dev/null || echo win32)
wine_arch=${WINE_ARCH:-$wine_build_arch}
case "$wine_arch" in
  win32) wine_loader=/usr/lib/wine/wine ;;
  win64) wine_loader=/usr/lib/wine/wine64 ;;
  *)
    echo "wine-env: WINE_ARCH is win32 or win64, not '$wine_arch'" >&2
    return 2
    ;;
esac
[ "$wine_arch" = "$wine_build_arch" ] || wine_suffix="$wine_suffix-$wine_arch"
if [ ! -x "$wine_loader" ]; then
  echo "wine-env: a $wine_arch prefix needs Wine's loader $wine_loader (run scripts/setup.sh;" \
    "the 32-bit one is installed only where the host runs 32-bit programs)" >&2
  return 2
fi
# wine, wineboot and winepath through the loader of the prefix's architecture, whichever the
# system's wine script would pick.
wine_loaders_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-loaders/$wine_arch
case ":$PATH:" in
  *":$wine_loaders_dir:"*) ;;
  *) export PATH="$wine_loaders_dir:$PATH" ;;
esac
wine_locale_env=(LANG=$wine_locale LC_ALL=$wine_locale)
# Runs a command of Wine (wine, wineserver, wineboot) in the locale of the prefix's code page;
# where a command has to be a program (setsid, timeout, exec), `env "${wine_locale_env[@]}"`.
wine_cmd() { env "${wine_locale_env[@]}" "$@"; }
export WINEPREFIX="$wine_build_dir/wineprefix$wine_suffix"
export WINEARCH=$wine_arch
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="
if [ -f "$wine_build_dir/xvfb.display" ]; then
  export DISPLAY=":$(cat "$wine_build_dir/xvfb.display")"
fi

# Wine's symbol font draws the caption buttons (the close button's cross). This Wine looks for its
# fonts in the prefix and the system's font folders only, so the prefix gets a copy of the one
# from fonts-wine (scripts/setup.sh installs it). False, with a message, when it is not installed.
wine_symbol_font() {
  local font=/usr/share/wine/fonts/marlett.ttf
  if [ ! -f "$font" ]; then
    echo "wine-env: Wine's symbol font $font is missing (run scripts/setup.sh)" >&2
    return 1
  fi
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -u "$font" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
}
