#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest: wine-run.sh ARCH PROGRAM [ARGS...], with
# ARCH the program's architecture (i686 or x86_64), which picks the Wine and its prefix.
# Wine's helper processes (the desktop, services) outlive the program and inherit its output;
# were that ctest's pipe, ctest would wait for them. So the output goes through a file, and
# is copied out once the program ends.
KQ_WINDOWS_ARCH=$1
shift
. "$(dirname "$0")/../scripts/wine-env.sh"
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
