#!/usr/bin/env bash
# Builds the download: build/dist/kqtovim-VERSION-win32.zip, holding kqtovim.dll, README.txt
# and LICENSE.txt (CRLF, for Windows users) and SHA256SUMS.txt. Prints its path and SHA-256.
# The same source gives the same zip, byte for byte: the DLL is built reproducibly, and the
# zip has a fixed file order, fixed permissions and fixed times, and no extra fields.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# The files carry the release's date, whenever the package is made.
release_date="2026-12-08 00:00:00 UTC"
version=$(scripts/version.sh)
command -v zip >/dev/null || scripts/setup.sh

# The plugin project alone: the product, without the host or the tests.
cmake -S plugin -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686-win32.cmake" >/dev/null
cmake --build build/release >/dev/null

stage=build/dist/kqtovim-$version-win32
zip_path=$stage.zip
# A package of an earlier version would linger beside this one.
rm -rf build/dist
mkdir -p "$stage"
cp build/release/kqtovim.dll "$stage/"
sed 's/$/\r/' packaging/README.txt >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
(cd "$stage" && sha256sum kqtovim.dll README.txt LICENSE.txt >SHA256SUMS.txt)
files=(kqtovim.dll README.txt LICENSE.txt SHA256SUMS.txt)
(
  cd "$stage"
  chmod 644 "${files[@]}"
  touch -d "$release_date" "${files[@]}"
  # Zip keeps local times: read them in UTC, so the time zone of the build changes nothing.
  TZ=UTC zip -X -D -q "$root/$zip_path" "${files[@]}"
)
echo "package: $zip_path"
sha256sum "$zip_path" | sed 's/^/package: sha256 /'
