#!/usr/bin/env bash
# Benchmark of the real DLL under Wine: a pupil update against the bare platform calls, and a
# full paint. Prints figures; nothing here passes or fails on speed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/wine-env.sh
kq_build_windows bench_host
xvfb-run -a -s '-screen 0 1280x1024x24' \
  "$root/cmake/wine-run.sh" "$KQ_WINDOWS_ARCH" "$root/build/$KQ_WINDOWS_PRESET/bench/host/Kestrune.exe" "${1:-10000}"
