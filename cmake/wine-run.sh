#!/bin/sh
# Runs a Windows test program under Wine for ctest. Wine's helper processes (the desktop,
# services) outlive the program and inherit its output; were that ctest's pipe, ctest would
# wait for them. So the output goes through a file, and is copied out once the program ends.
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
