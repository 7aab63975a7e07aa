#!/usr/bin/env bash
# The same source gives the same kqtovim.dll, byte for byte, whatever the build folder and the
# time of the build. Builds the plugin project alone twice, in two fresh folders of different
# paths, at two different apparent times and with two different SOURCE_DATE_EPOCHs, and
# compares both with the DLL given. On a difference it says which bytes differ, and in which
# section of the file they lie.
# Usage: reproducible.sh [DLL]   (default: build/windows/plugin/kqtovim.dll)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
reference=${1:-$root/build/windows/plugin/kqtovim.dll}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() { # folder, then the command prefix that sets the time
  local folder=$1
  shift
  cmake -S "$root/plugin" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686-win32.cmake" >/dev/null
  "$@" cmake --build "$folder" >/dev/null
}
build "$work/a" env SOURCE_DATE_EPOCH=0
# Years ahead, with stat() left true so that ninja sees the real file times.
build "$work/elsewhere/deeper b" env SOURCE_DATE_EPOCH=1900000000 NO_FAKE_STAT=1 \
  faketime '2031-07-15 12:34:56'

# The first differing bytes of two DLLs, each with the PE section it lies in (from objdump's
# section table; cmp counts offsets from 1).
list_differences() {
  local dll=$1
  i686-w64-mingw32-objdump -h "$dll" | awk '
    BEGIN { n = 0 }
    function hex(s,   i, v) {
      for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
      return v
    }
    NR == FNR { if ($1 ~ /^[0-9]+$/ && hex($6) > 0) {
                  name[n] = $2; size[n] = hex($3); off[n] = hex($6); n++
                }
                next }
    { o = $1 - 1; where = "headers";
      for (i = 0; i < n; i++) if (o >= off[i] && o < off[i] + size[i]) where = name[i];
      printf "  offset 0x%x (%s): %s vs %s\n", o, where, $2, $3 }' - <(cmp -l "$dll" "$2" | head -20)
}

status=0
for other in "$work/a/kqtovim.dll" "$work/elsewhere/deeper b/kqtovim.dll"; do
  if ! cmp -s "$reference" "$other"; then
    status=1
    echo "reproducible: $other differs from $reference in $(cmp -l "$reference" "$other" |
      wc -l) bytes (octal values, first 20):"
    list_differences "$reference" "$other"
  fi
done
sha256sum "$reference" "$work/a/kqtovim.dll" "$work/elsewhere/deeper b/kqtovim.dll" |
  sed "s|$work/||; s|^|reproducible: |"
[ $status -eq 0 ] && echo "reproducible: three builds, one DLL"
exit $status
