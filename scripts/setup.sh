#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, only what is missing, and makes the
# private Wine prefix. Idempotent; run as root (or with sudo available).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest g++-mingw-w64-i686
          g++-mingw-w64-x86-64 locales faketime zip unzip python3
          wine wine32:i386 wine64 xvfb xauth imagemagick xdotool x11-apps)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# A locale with a decimal comma, so that the native suite shows reals ignore the locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

source "$root/scripts/wine-env.sh"
kq_make_wine_prefix
