#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, only what is missing, and makes the
# private Wine prefix. Idempotent; run as root (or with sudo available).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest g++-mingw-w64-i686
          g++-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xauth imagemagick xdotool x11-apps)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

source "$root/scripts/wine-env.sh"
kq_wine_prefix
