#!/usr/bin/env bash
# Builds everything and runs every test: the native suites (ASan/UBSan), a short fuzz run,
# the product checks of the 32-bit DLL and its package, and the Wine suites of the real DLL
# on a virtual display. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
source scripts/wine-env.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== fuzz targets, a short bounded run (scripts/fuzz.sh SECONDS for a long one)"
scripts/fuzz.sh 25

echo "== the product: the 32-bit DLL, its exports and imports, reproducibility, the package"
cmake --preset windows >/dev/null
cmake --build --preset windows --target kqtovim
bash tests/dll_check.sh build/windows/plugin/kqtovim.dll tests/xp-imports.txt
tests/reproducible.sh build/windows/plugin/kqtovim.dll
scripts/package.sh
xvfb-run -a -s '-screen 0 1280x1024x24' \
  tests/package_check.sh build/dist/kqtovim-*-win32.zip build/windows/plugin/kqtovim.dll

echo "== Windows build ($KQ_WINDOWS_ARCH) and Wine tests"
if [ "$KQ_WINDOWS_ARCH" != i686 ]; then
  echo "   (this machine cannot run 32-bit programs: the Wine suites run the same sources"
  echo "    built for x86_64 under 64-bit Wine)"
fi
cmake --preset "$KQ_WINDOWS_PRESET" >/dev/null
cmake --build --preset "$KQ_WINDOWS_PRESET"
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
  set -e
  wineserver -p          # one persistent server: ctest starts a wine per test
  trap "wine reg delete \"HKCU\\Software\\Wine\" /v Version /f >/dev/null 2>&1 || true; wineserver -k || true" EXIT
  ctest --preset "$KQ_WINDOWS_PRESET"
  echo "== the end-to-end suites again, with Wine posing as Windows XP"
  wine reg add "HKCU\\Software\\Wine" /v Version /t REG_SZ /d "$KQ_WINDOWS_XP" /f >/dev/null 2>&1
  KQ_EXPECT_WINDOWS=$KQ_WINDOWS_XP_VERSION ctest --preset "$KQ_WINDOWS_PRESET" -LE soak
'
