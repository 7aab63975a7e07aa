#!/usr/bin/env bash
# Checks the built kqtovim.dll as a user's Windows would see it: exactly the three exports,
# no DLL but Windows' own (the host comes delay-loaded), and only imports that Windows XP has.
# Usage: dll_check.sh kqtovim.dll tests/xp-imports.txt
set -euo pipefail
dll=$1
allowed=$2
dump=$(i686-w64-mingw32-objdump -p "$dll")
fail=0

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [ "$exports" != "beginPlugin endPlugin pluginInfo " ]; then
  echo "exports are '$exports', expected beginPlugin endPlugin pluginInfo"; fail=1
fi

dlls=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | sort -u | tr '\n' ' ')
if [ "$dlls" != "GDI32.dll KERNEL32.dll USER32.dll msvcrt.dll " ]; then
  echo "imports from '$dlls', expected only Windows' own DLLs"; fail=1
fi

# The host's services are bound lazily, by name, from Kestrune.exe.
texts=$(strings -n 6 "$dll")
for name in Kestrune.exe GetKQWnd MakeSticky SnapWindowToEdge GetSettingPtr MakeGradient \
            MakeNamedMenu MakeMenuItem MakeSubmenu ShowMenu; do
  grep -qE "(^|^.)$name\$" <<<"$texts" || { echo "delay import $name missing"; fail=1; }
done

imports=$(printf '%s\n' "$dump" | sed -n '/The Import Tables/,/The Export Tables/p' |
  awk -F'\t' '/DLL Name:/{split($2,a,": "); dll=a[2]}
              NF>=3 && $2 ~ /^ *[0-9a-f]+$/ {gsub(/^ *[0-9]+ +/,"",$3); print dll" "$3}' | sort)
unknown=$(comm -23 <(printf '%s\n' "$imports") <(grep -v '^#' "$allowed" | sort))
if [ -n "$unknown" ]; then
  echo "imports not known to exist on Windows XP:"; sed 's/^/  /' <<<"$unknown"; fail=1
fi

size=$(stat -c %s "$dll")
echo "kqtovim.dll: $size bytes, exports: $exports, $(printf '%s\n' "$imports" | wc -l) imports from $dlls"
exit $fail
