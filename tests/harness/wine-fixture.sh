#!/usr/bin/env bash
# Starts or stops what the Win32 tests of one build need: a virtual X display and the build's
# private Wine prefixes with their servers, one prefix per ANSI code page, DPI and user language
# (see wine-env.sh).
#
#   wine-fixture.sh start|stop BUILD_DIR [CODEPAGE [DPI [LANGUAGE]]]   one prefix and its server
#                                                           (default 1251, 96 and the code page's)
#   wine-fixture.sh display-start|display-stop BUILD_DIR
#
# The prefixes share the build's display. `start` starts one when none runs, and the `stop` of
# the same prefix stops it again; a display started with `display-start` runs until
# `display-stop`, whichever prefixes come and go meanwhile (the CTest fixtures do this).
set -u
action=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
codepage=${3:-1251}
dpi=${4:-96}
language=${5:-}

display_running() {
  [ -f "$build/xvfb.pid" ] && [ -f "$build/xvfb.display" ] && kill -0 "$(cat "$build/xvfb.pid")" 2>/dev/null
}

display_stop() {
  if [ -f "$build/xvfb.pid" ]; then
    kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
    rm -f "$build/xvfb.pid"
  fi
  rm -f "$build/xvfb.display" "$build/xvfb.owner"
}

# Xvfb picks a free display and writes its number to fd 3. $1 is who stops it again.
display_start() {
  display_stop
  if ! command -v Xvfb >/dev/null; then
    echo "wine-fixture: Xvfb is missing (run scripts/setup.sh)" >&2
    exit 1
  fi
  rm -f "$build/xvfb.fifo"
  mkfifo "$build/xvfb.fifo"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$build/xvfb.fifo" \
    </dev/null >"$build/xvfb.log" 2>&1 &
  echo $! >"$build/xvfb.pid"
  local display
  display=$(timeout 20 head -n1 "$build/xvfb.fifo")
  rm -f "$build/xvfb.fifo"
  if [ -z "$display" ]; then
    echo "wine-fixture: Xvfb did not start; see $build/xvfb.log" >&2
    display_stop
    exit 1
  fi
  echo "$display" >"$build/xvfb.display"
  echo "$1" >"$build/xvfb.owner"
}

server_stop() {
  if [ -d "$WINEPREFIX" ]; then
    wine_cmd wineserver -k >/dev/null 2>&1
    wine_cmd wineserver -w >/dev/null 2>&1
  fi
  true
}

stop() {
  . "$here/wine-env.sh" "$build" "$codepage" "$dpi" "$language" || exit 2
  server_stop
  if [ "$(cat "$build/xvfb.owner" 2>/dev/null)" = "$codepage/$dpi/$language" ]; then display_stop; fi
}

start() {
  . "$here/wine-env.sh" "$build" "$codepage" "$dpi" "$language" || exit 2
  server_stop
  if ! locale -a 2>/dev/null | grep -qix "${wine_locale/UTF-8/utf8}"; then
    echo "wine-fixture: the locale $wine_locale is missing (run scripts/setup.sh)" >&2
    exit 1
  fi
  display_running || display_start "$codepage/$dpi/$language"
  . "$here/wine-env.sh" "$build" "$codepage" "$dpi" "$language"
  local fresh=0
  [ -d "$WINEPREFIX" ] || fresh=1
  boot
  # A crashing program ends at once with a failing exit code instead of waiting on a debugger.
  wine_cmd wine reg add \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /d 'cmd.exe /c exit' /f </dev/null >/dev/null 2>&1
  wine_cmd wine reg add \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f \
    </dev/null >/dev/null 2>&1
  # No window manager runs on the virtual display: Wine's own windows, not managed ones. A
  # managed window that is hidden or destroyed waits 2 s for a window manager's answer.
  wine_cmd wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >/dev/null 2>&1
  wine_symbol_font || exit 1
  local restart=$fresh
  # The system's DPI is read when the prefix's session starts.
  if [ "$(logpixels)" != "$dpi" ]; then
    wine_cmd wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
      /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
    restart=1
  fi
  if [ $restart -eq 1 ]; then
    # In the session that made the prefix, each program's first window came up 10 s late
    # (measured); a new session of the same prefix has no such delay.
    server_stop
    boot
  fi
  check_codepage
  if [ "$(logpixels)" != "$dpi" ]; then
    echo "wine-fixture: the prefix $WINEPREFIX has LogPixels '$(logpixels)', not $dpi" >&2
    exit 1
  fi
  echo "wine-fixture: display :$(cat "$build/xvfb.display"), prefix $WINEPREFIX," \
    "code page $codepage, $dpi DPI, locale $wine_locale"
}

# The prefix's LogPixels (its DPI) in decimal; empty when it has none.
logpixels() {
  local value
  value=$(wine_cmd wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels \
    </dev/null 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" {print $NF}')
  [ -n "$value" ] && echo $((value))
}

# A persistent server and the prefix's own processes, detached from the test's output pipes.
boot() {
  setsid env "${wine_locale_env[@]}" wineserver -p </dev/null >"$build/wineserver$wine_suffix.log" 2>&1
  if ! timeout 300 env "${wine_locale_env[@]}" wineboot -i </dev/null >"$build/wineboot$wine_suffix.log" 2>&1; then
    echo "wine-fixture: wineboot failed; see $build/wineboot$wine_suffix.log" >&2
    exit 1
  fi
}

# The code page the prefix's programs get, as Wine recorded it for the locale.
check_codepage() {
  local acp
  acp=$(wine_cmd wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' \
    /v ACP </dev/null 2>/dev/null | tr -d '\r' | awk '$1 == "ACP" {print $NF}')
  if [ "$acp" != "$codepage" ]; then
    echo "wine-fixture: the prefix $WINEPREFIX has the ANSI code page '$acp', not $codepage" >&2
    exit 1
  fi
}

case "$action" in
  start) start ;;
  stop) stop; echo "wine-fixture: stopped the prefix of code page $codepage at $dpi DPI${language:+, $language}" ;;
  display-start) display_start display; echo "wine-fixture: display :$(cat "$build/xvfb.display")" ;;
  display-stop) display_stop; echo "wine-fixture: display stopped" ;;
  *) echo "usage: wine-fixture.sh start|stop BUILD_DIR [CODEPAGE [DPI [LANGUAGE]]] | display-start|display-stop BUILD_DIR" >&2; exit 2 ;;
esac
