#!/usr/bin/env bash
# Builds everything and runs every test: the native suites (ASan/UBSan), a short fuzz run,
# and the Wine suites of the real DLL on a virtual display. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== fuzz targets, a short bounded run (scripts/fuzz.sh SECONDS for a long one)"
scripts/fuzz.sh 25

echo "== Windows build (i686) and Wine tests"
cmake --preset windows >/dev/null
cmake --build --preset windows
source scripts/wine-env.sh
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
  set -e
  wineserver -p          # one persistent server: ctest starts a wine per test
  trap "wine reg delete \"HKCU\\Software\\Wine\" /v Version /f >/dev/null 2>&1 || true; wineserver -k || true" EXIT
  ctest --preset windows
  echo "== the end-to-end suites again, with Wine posing as Windows XP"
  wine reg add "HKCU\\Software\\Wine" /v Version /t REG_SZ /d winxp /f >/dev/null 2>&1
  KQ_EXPECT_WINDOWS=5.1 ctest --preset windows -LE soak -E "^dll\\."
'
