#!/usr/bin/env bash
# Starts or stops what the Win32 tests of one build need: a virtual X display and the build's
# private Wine prefix with its server. wine-fixture.sh start|stop BUILD_DIR
set -u
action=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

stop() {
  if [ -d "$build/wineprefix" ]; then
    (
      . "$here/wine-env.sh" "$build"
      env "${wine_locale_env[@]}" wineserver -k >/dev/null 2>&1
      env "${wine_locale_env[@]}" wineserver -w >/dev/null 2>&1
    ) || true
  fi
  if [ -f "$build/xvfb.pid" ]; then
    kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
    rm -f "$build/xvfb.pid"
  fi
  rm -f "$build/xvfb.display"
}

start() {
  stop
  if ! command -v Xvfb >/dev/null; then
    echo "wine-fixture: Xvfb is missing (run scripts/setup.sh)" >&2
    exit 1
  fi
  # Xvfb picks a free display and writes its number to fd 3.
  rm -f "$build/xvfb.fifo"
  mkfifo "$build/xvfb.fifo"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$build/xvfb.fifo" \
    </dev/null >"$build/xvfb.log" 2>&1 &
  echo $! >"$build/xvfb.pid"
  display=$(timeout 20 head -n1 "$build/xvfb.fifo")
  rm -f "$build/xvfb.fifo"
  if [ -z "$display" ]; then
    echo "wine-fixture: Xvfb did not start; see $build/xvfb.log" >&2
    stop
    exit 1
  fi
  echo "$display" >"$build/xvfb.display"
  . "$here/wine-env.sh" "$build"
  local fresh=0
  [ -d "$WINEPREFIX" ] || fresh=1
  boot
  # A crashing program ends at once with a failing exit code instead of waiting on a debugger.
  env "${wine_locale_env[@]}" wine reg add \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /d 'cmd.exe /c exit' /f </dev/null >/dev/null 2>&1
  env "${wine_locale_env[@]}" wine reg add \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f \
    </dev/null >/dev/null 2>&1
  # No window manager runs on the virtual display: Wine's own windows, not managed ones. A
  # managed window that is hidden or destroyed waits 2 s for a window manager's answer.
  env "${wine_locale_env[@]}" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >/dev/null 2>&1
  if [ $fresh -eq 1 ]; then
    # In the session that made the prefix, each program's first window came up 10 s late
    # (measured); a new session of the same prefix has no such delay.
    env "${wine_locale_env[@]}" wineserver -k >/dev/null 2>&1
    env "${wine_locale_env[@]}" wineserver -w >/dev/null 2>&1
    boot
  fi
  echo "wine-fixture: display :$display, prefix $WINEPREFIX"
}

# A persistent server and the prefix's own processes, detached from the test's output pipes.
boot() {
  setsid env "${wine_locale_env[@]}" wineserver -p </dev/null >"$build/wineserver.log" 2>&1
  if ! timeout 300 env "${wine_locale_env[@]}" wineboot -i </dev/null >"$build/wineboot.log" 2>&1; then
    echo "wine-fixture: wineboot failed; see $build/wineboot.log" >&2
    exit 1
  fi
}

case "$action" in
  start) start ;;
  stop) stop; echo "wine-fixture: stopped" ;;
  *) echo "usage: wine-fixture.sh start|stop BUILD_DIR" >&2; exit 2 ;;
esac
