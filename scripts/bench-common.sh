# Sourced by the benchmark scripts: the build folders, the build of what a benchmark runs, the
# Wine fixture for the run and the median of the figures.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
native=${NATIVE_BUILD:-$root/build/native}
# The Windows build the benchmarks run: the preset WINDOWS_PRESET (win32 or win64; default win32).
windows_preset=${WINDOWS_PRESET:-win32}
win32=${WIN32_BUILD:-$root/build/$windows_preset}

# The natively built catalogue tool and the Windows targets named.
bench_build() {
  cmake --preset native -B "$native" >/dev/null
  cmake --build "$native" -j2 --target catalog-tool >/dev/null
  cmake --preset "$windows_preset" -B "$win32" >/dev/null
  cmake --build "$win32" -j2 --target "$@" >/dev/null
}

# The virtual display and the build's prefix, stopped when the script ends.
bench_start_wine() {
  tests/harness/wine-fixture.sh start "$win32" >/dev/null
  trap 'tests/harness/wine-fixture.sh stop "$win32" >/dev/null' EXIT
  # shellcheck source=tests/harness/wine-env.sh
  . tests/harness/wine-env.sh "$win32"
}

# wine and winepath -w in the Russian locale, as every Wine process of the tests runs.
bench_wine() { wine_cmd wine "$@"; }
bench_winepath() { wine_cmd winepath -w "$1"; }

# The median of the numbers on standard input, one per line.
median() {
  LC_ALL=C sort -n | LC_ALL=C awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'
}
