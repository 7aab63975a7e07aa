#!/usr/bin/env bash
# The main job: builds the plugin and the reference host and shows the eyes.
#  - With a usable X display ($DISPLAY), the host runs there until you quit it
#    (its "Quit" menu, or close its window).
#  - Without one, it runs on a virtual display, moves the cursor around and across the
#    window, and writes build/demo/eyes.png, build/demo/eyes.gif and build/demo/menu.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/wine-env.sh
kq_build_windows kestrune
host="$root/build/$KQ_WINDOWS_PRESET/host/Kestrune.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && [ "${KQ_DEMO_HEADLESS:-0}" != 1 ]; then
  echo "demo: running Kestrune.exe on $DISPLAY; quit it from its own window"
  exec wine "$host"
fi

out="$root/build/demo"
rm -rf "$out"
mkdir -p "$out/frames"
export KQ_DEMO_OUT="$out" KQ_DEMO_HOST="$host" KQ_ROOT
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
  set -e
  source "$KQ_ROOT/scripts/wine-env.sh"
  wine "$KQ_DEMO_HOST" --style 0 >/dev/null 2>&1 &
  host=$!
  kq_wait_for_eyes || true
  sleep 0.5
  # The window sits at 10,10 and is 210 px square; grab a margin around it that holds the
  # whole cursor path.
  crop="300x300+0+0"
  n=0
  # Screen grabs leave the cursor out, so it is drawn in where it is: a plain arrow pointer
  # with its tip on the hot spot.
  shoot() { # file
    local x y
    eval "$(xdotool getmouselocation --shell)"
    x=$X y=$Y
    import -window root -crop "$crop" +repage "$1"
    convert "$1" -fill white -stroke black -strokewidth 1 -draw "polygon $x,$y $x,$((y+17)) \
      $((x+4)),$((y+13)) $((x+7)),$((y+20)) $((x+10)),$((y+19)) $((x+7)),$((y+12)) \
      $((x+12)),$((y+12))" "$1"
  }
  frame() { shoot "$KQ_DEMO_OUT/frames/$(printf %03d $n).png"; n=$((n+1)); }
  # Around the window on a circle, then straight across it.
  for step in $(seq 0 23); do
    x=$(awk -v s=$step "BEGIN{printf \"%d\", 115 + 160*cos(s*3.14159/12)}")
    y=$(awk -v s=$step "BEGIN{printf \"%d\", 115 + 160*sin(s*3.14159/12)}")
    [ $x -lt 0 ] && x=0; [ $y -lt 0 ] && y=0
    xdotool mousemove $x $y; sleep 0.25; frame
  done
  for x in $(seq 0 20 240); do xdotool mousemove $x 120; sleep 0.2; frame; done
  xdotool mousemove 262 236; sleep 0.3
  shoot "$KQ_DEMO_OUT/eyes.png"
  # The host menu, opened by a real right click on the eyes.
  xdotool mousemove 120 120 click 3; sleep 0.8
  xdotool key Down Down Right; sleep 0.5
  import -window root -crop 480x360+0+0 +repage "$KQ_DEMO_OUT/menu.png"
  xdotool key Escape Escape; sleep 0.2
  kill $host 2>/dev/null || true
  wineserver -k || true
'
convert -delay 20 -loop 0 "$out"/frames/*.png "$out/eyes.gif"
rm -rf "$out/frames"
echo "demo: screenshot $out/eyes.png"
echo "demo: animation  $out/eyes.gif"
echo "demo: host menu  $out/menu.png"
