#!/usr/bin/env bash
# The main job: builds the catalogue tool and the Windows programs, makes the sample medium and
# its image with `catalog-tool make-medium`, maps the folder as drive M: in the build's Wine
# prefix and starts M:\installer.exe on it. The installer is the shipped 32-bit build where the
# host runs 32-bit programs, and otherwise the 64-bit build of the same source; the job says which. A piece that cannot be built fails the job. Uses the
# X display in $DISPLAY when it works, otherwise a virtual one; saves a screenshot of the dialog
# as a PNG, prints where it is, then closes the program and stops the prefix's server.
#
#   run-sample.sh            (HOLD_MS=4000 keeps the dialog open that long)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

native=${NATIVE_BUILD:-$root/build/native}
# shellcheck source=scripts/host-32bit.sh
. scripts/host-32bit.sh
if wine32_runs; then
  windows_preset=win32
  which_build="the shipped 32-bit build"
else
  windows_preset=win64
  which_build="the 64-bit build (this host runs no 32-bit program: $wine32_loader does not start)"
fi
win32=${WIN32_BUILD:-$root/build/$windows_preset}
hold=${HOLD_MS:-4000}
current="start"
step() { current="$*"; printf '\n=== %s\n' "$*"; }
trap 'status=$?; [ $status -eq 0 ] || echo "run-sample: FAILED in step \"$current\" (exit $status)" >&2' EXIT

step "native build: catalogue tool"
cmake --preset native -B "$native" >/dev/null
cmake --build "$native" -j2 --target catalog-tool

step "Windows build ($windows_preset): installer, reference set-up program, start-up timer"
echo "run-sample: the installer is $which_build"
cmake --preset "$windows_preset" -B "$win32" >/dev/null
cmake --build "$win32" -j2 --target installer reference-setup startup-timer

step "sample medium and its image (catalog-tool make-medium)"
medium="$win32/medium"
start=$(date +%s%N)
WIN32_BUILD="$win32" NATIVE_BUILD="$native" bash scripts/sample-medium.sh "$medium"
echo "run-sample: medium and image made in $(( ($(date +%s%N) - start) / 1000000 )) ms;" \
  "$medium.iso is $(stat -c %s "$medium.iso") bytes"

step "run under Wine"
real_display=0
probe=$(mktemp --suffix=.png)
if [ -n "${DISPLAY:-}" ] && timeout 10 import -window root "$probe" >/dev/null 2>&1; then
  real_display=1
fi
rm -f "$probe"
started_fixture=0
if [ $real_display -eq 1 ]; then
  echo "run-sample: using the display $DISPLAY"
  rm -f "$win32/xvfb.display"
else
  echo "run-sample: no usable display; starting a virtual one"
  tests/harness/wine-fixture.sh start "$win32"
  started_fixture=1
fi
# shellcheck source=tests/harness/wine-env.sh
. tests/harness/wine-env.sh "$win32"
if [ ! -d "$WINEPREFIX/dosdevices" ]; then
  wine_cmd wineboot -i >/dev/null 2>&1
fi
wine_symbol_font
ln -sfn "$(cd "$medium" && pwd)" "$WINEPREFIX/dosdevices/m:"
if [ $real_display -eq 1 ]; then
  # On a real display the window manager frames and moves the windows (the test fixture, with no
  # window manager on its virtual display, turns that off in this prefix).
  wine_cmd wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f \
    </dev/null >/dev/null 2>&1
fi

caption="Добро пожаловать"

log=$(mktemp)
timer=$(wine_cmd winepath -w "$win32/tests/programs/startup-timer/startup-timer.exe")
if [ $real_display -eq 1 ]; then
  wine_cmd wine "$timer" --hold "$hold" --cwd 'M:\' "$caption" 'M:\installer.exe' >"$log" 2>/dev/null &
else
  # A Wine desktop draws the window frames, so the screenshot shows the caption.
  wine_cmd wine explorer /desktop=sample,800x600 "$timer" --hold "$hold" --cwd 'M:\' "$caption" \
    'M:\installer.exe' >"$log" 2>/dev/null &
fi
timer_pid=$!

shot="$win32/sample-dialog.png"
rm -f "$shot"
for _ in $(seq 1 300); do
  grep -q -e '^visible' -e '^timeout' "$log" 2>/dev/null && break
  sleep 0.2
done
if grep -q '^visible' "$log"; then
  sleep 0.5
  if [ $real_display -eq 1 ]; then
    import -window root "$shot"
  else
    import -window root -crop 800x600+0+0 +repage "$shot"
  fi
  echo "run-sample: the dialog of $which_build showed after $(awk '/^visible/ {print $2}' "$log") ms"
  echo "run-sample: screenshot saved to $shot"
else
  echo "run-sample: the dialog did not show:" >&2
  cat "$log" >&2
  failed=1
fi
wait "$timer_pid" || true
rm -f "$log"

# Close what is left of the program and stop the prefix's server.
wine_cmd wineserver -k >/dev/null 2>&1 || true
if [ $started_fixture -eq 1 ]; then
  tests/harness/wine-fixture.sh stop "$win32"
fi
[ "${failed:-0}" -eq 0 ] && [ -f "$shot" ]
