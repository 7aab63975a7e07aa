#!/usr/bin/env bash
# Runs the fuzz targets for the given number of seconds each (default 25), with corpora kept
# under build/fuzz/corpus and findings written to build/fuzz/findings. Fails on a finding.
# For a long run: scripts/fuzz.sh 3600
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-25}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/findings
for target in fuzz_values fuzz_profile; do
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  log="build/fuzz/$target.log"
  rc=0
  "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/findings/ "$corpus" >"$log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz: $target ran ${runs:-?} inputs in ${seconds}s, exit $rc"
  if [ "$rc" -ne 0 ]; then
    grep -E "ERROR|SUMMARY|artifact" "$log" || tail -20 "$log"
    exit 1
  fi
done
