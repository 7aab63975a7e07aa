#!/usr/bin/env bash
# Checks the download as a user gets it: unzipped into a fresh folder it holds exactly its four
# files, SHA256SUMS.txt verifies, the texts have CRLF line ends, the DLL is byte for byte the
# one the build made and passes the export, import and Windows XP checks, the package's name,
# the DLL's VERSIONINFO and README.txt name one version, and the reference host loads the DLL
# from that folder and shows the eyes.
# Usage: package_check.sh ZIP BUILT_DLL   (on a display: the host run needs one)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
zip=$(realpath "$1")
built=$(realpath "$2")
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
fail() { echo "package: $*"; exit 1; }

mkdir "$work/unzipped"
(cd "$work/unzipped" && unzip -q "$zip")
[ "$(cd "$work/unzipped" && ls | sort | tr '\n' ' ')" = \
  "LICENSE.txt README.txt SHA256SUMS.txt kqtovim.dll " ] || fail "unexpected files: $(ls "$work/unzipped")"
(cd "$work/unzipped" && sha256sum --quiet -c SHA256SUMS.txt) || fail "checksums do not verify"
for text in README.txt LICENSE.txt; do
  [ "$(grep -c $'\r$' "$work/unzipped/$text")" = "$(wc -l <"$work/unzipped/$text")" ] ||
    fail "$text has lines without CRLF"
done
cmp "$work/unzipped/kqtovim.dll" "$built" || fail "the packaged DLL is not the build's"
bash "$root/tests/dll_check.sh" "$work/unzipped/kqtovim.dll" "$root/tests/xp-imports.txt"

# One version throughout: the plugin project's VERSION names the package, and the DLL's
# VERSIONINFO and the title of README.txt must say the same.
version=$("$root/scripts/version.sh")
of_version="version $version (plugin/CMakeLists.txt)"
[ "$(basename "$zip")" = "kqtovim-$version-win32.zip" ] ||
  fail "the package is named $(basename "$zip"), which is not $of_version"
resources=$(i686-w64-mingw32-windres -i "$work/unzipped/kqtovim.dll" -O rc)
IFS=. read -r major minor patch tweak <<<"$version"
for field in FILEVERSION PRODUCTVERSION; do
  found=$(sed -n "s/^ *$field //p" <<<"$resources")
  [ "$found" = "${major:-0}, ${minor:-0}, ${patch:-0}, ${tweak:-0}" ] ||
    fail "the DLL's VERSIONINFO $field (plugin/kqtovim.rc) is \"$found\", not $of_version"
done
for field in FileVersion ProductVersion; do
  found=$(sed -n "s/^ *VALUE \"$field\", \"\(.*\)\"$/\1/p" <<<"$resources")
  [ "$found" = "$version" ] ||
    fail "the DLL's VERSIONINFO \"$field\" (plugin/kqtovim.rc) is \"$found\", not $of_version"
done
title=$(head -1 "$work/unzipped/README.txt" | tr -d '\r')
[ "${title#"kqtovim $version "}" != "$title" ] ||
  fail "README.txt (packaging/README.txt) is titled \"$title\", not for $of_version"
echo "package: version $version in the package's name, the DLL's VERSIONINFO and README.txt"

# One short headless run: the host loads the unzipped DLL and the eyes show on the screen.
source "$root/scripts/wine-env.sh"
if [ "$KQ_WINDOWS_ARCH" != i686 ]; then
  echo "package: host run left out: this machine cannot run 32-bit programs, so no Wine here"
  echo "package: can load the 32-bit DLL (the Wine suites test the same sources as x86_64)"
  echo "package: checks passed"
  exit 0
fi
cmake --build "$root/build/windows" --target kestrune >/dev/null
wine "$root/build/windows/host/Kestrune.exe" --hidden --quiet --exit-after 4000 \
  "Z:$work/unzipped/kqtovim.dll" >/dev/null 2>&1 &
host=$!
kq_wait_for_eyes || fail "the host showed no eyes window"
sleep 1
# The window is at 10,10, 210 px square: a black rim at client x 2, white inside each eye.
import -window root -crop 210x210+10+10 +repage "$work/eyes.png"
wait $host || true
pixel() { # x y: "r,g,b" of the screenshot
  convert "$work/eyes.png" -format "%[fx:round(255*p{$1,$2}.r)],%[fx:round(255*p{$1,$2}.g)],%[fx:round(255*p{$1,$2}.b)]" info:
}
for p in "2 105" "207 105"; do
  [ "$(pixel $p)" = "0,0,0" ] || fail "no black rim at client $p (found $(pixel $p))"
done
for p in "42 40" "170 180"; do
  [ "$(pixel $p)" = "255,255,255" ] || fail "no white eye at client $p (found $(pixel $p))"
done
echo "package: the host loaded the unzipped DLL and showed the eyes"
echo "package: checks passed"
