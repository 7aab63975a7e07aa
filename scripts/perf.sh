#!/usr/bin/env bash
# CPU use of the reference host with the plugin against xeyes (x11-apps), side by side on one
# virtual display with the same cursor: first with the cursor still, then moving along a path.
# Usage: scripts/perf.sh [SECONDS per phase, default 60]. Prints a table; asserts nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}

if [ "${2:-}" != --on-display ]; then
  source scripts/wine-env.sh
  kq_build_windows kestrune >/dev/null
  xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$seconds" --on-display
  echo "kqtovim.dll size: $(stat -c %s build/$KQ_WINDOWS_PRESET/plugin/kqtovim.dll) bytes"
  exit 0
fi

source scripts/wine-env.sh
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; } # utime + stime of a process

wineserver -p
trap 'wineserver -k || true' EXIT
wine "build/$KQ_WINDOWS_PRESET/host/Kestrune.exe" --hidden >/dev/null 2>&1 &
kq_wait_for_eyes || true
xeyes -geometry 210x210+600+10 &
xeyes=$!
sleep 3
host=$(pgrep -f 'Kestrune.exe' | head -1)
server=$(pgrep wineserver | head -1)

still() { xdotool mousemove 400 500; sleep "$seconds"; }
moving() {
  local end=$((SECONDS + seconds)) a=0
  while [ $SECONDS -lt $end ]; do
    xdotool mousemove $((420 + (a * 37) % 500)) $((120 + (a * 53) % 400))
    a=$((a + 1))
    sleep 0.05
  done
}
phase() { # name, then the command that moves the cursor
  local name=$1 h0 s0 x0
  shift
  h0=$(ticks "$host"); s0=$(ticks "$server"); x0=$(ticks "$xeyes")
  "$@"
  awk -v h=$(($(ticks "$host") - h0)) -v s=$(($(ticks "$server") - s0)) \
      -v x=$(($(ticks "$xeyes") - x0)) -v t="$seconds" -v hz="$hz" -v name="$name" \
      'BEGIN { printf "| %s | %.2f %% | %.2f %% | %.2f %% | %.2f %% |\n",
               name, 100*h/hz/t, 100*s/hz/t, 100*(h+s)/hz/t, 100*x/hz/t }'
}

echo "CPU over $seconds s per phase, percent of one core"
echo "| cursor | Kestrune.exe + plugin | wineserver | both | xeyes |"
echo "|---|---|---|---|---|"
phase still still
phase moving moving
kill "$xeyes"
