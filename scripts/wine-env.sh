# Sourced by the scripts: one private Wine prefix under build/, quiet and fast.
#
# The rig runs the Windows programs of the architecture this machine can execute: i686, the
# product's own, wherever 32-bit programs run; x86_64 on machines whose kernel refuses 32-bit
# programs (there Wine's 32-bit loader cannot start at all). KQ_WINDOWS_ARCH forces one.
# Exports KQ_WINDOWS_PRESET, the CMake preset whose programs that Wine runs.
KQ_ROOT=${KQ_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
if [ -z "${KQ_WINDOWS_ARCH:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    KQ_WINDOWS_ARCH=i686
  else
    KQ_WINDOWS_ARCH=x86_64
  fi
fi
export KQ_WINDOWS_ARCH
# KQ_WINDOWS_XP and KQ_WINDOWS_XP_VERSION: Windows XP as this Wine poses it, 5.1 for 32-bit
# programs and XP x64, 5.2, for 64-bit ones.
if [ "$KQ_WINDOWS_ARCH" = i686 ]; then
  export KQ_WINDOWS_PRESET=windows WINEARCH=win32 WINEPREFIX="$KQ_ROOT/build/wineprefix"
  export KQ_WINDOWS_XP=winxp KQ_WINDOWS_XP_VERSION=5.1
else
  export KQ_WINDOWS_PRESET=windows64 WINEARCH=win64 WINEPREFIX="$KQ_ROOT/build/wineprefix64"
  export KQ_WINDOWS_XP=winxp64 KQ_WINDOWS_XP_VERSION=5.2
  # Debian's "wine" always tries the 32-bit loader first; call the 64-bit one by that name.
  export WINELOADER=/usr/lib/wine/wine64
  # (A script, not a link: the loader finds its own files through the name it was run by.)
  if [ ! -x "$KQ_ROOT/build/wine64-bin/wine" ]; then
    mkdir -p "$KQ_ROOT/build/wine64-bin"
    printf '#!/bin/sh\nexec %s "$@"\n' "$WINELOADER" >"$KQ_ROOT/build/wine64-bin/wine"
    chmod +x "$KQ_ROOT/build/wine64-bin/wine"
  fi
  case ":$PATH:" in
    *":$KQ_ROOT/build/wine64-bin:"*) ;;
    *) export PATH="$KQ_ROOT/build/wine64-bin:$PATH" ;;
  esac
fi
export WINEDEBUG=-all
# No Mono or Gecko installers popping up while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once, with the settings that keep tests fast and crash dialogs away.
kq_make_wine_prefix() {
  if [ -f "$WINEPREFIX/.kq-ready" ]; then
    return 0
  fi
  mkdir -p "$WINEPREFIX"
  DISPLAY= wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Without a window manager every destroyed window would cost about two seconds.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # A crash must end the process, not wait on a dialog nobody can click.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.kq-ready"
}

# Installs what is missing and builds the given targets of the Windows configuration that
# this machine's Wine runs.
kq_build_windows() {
  "$KQ_ROOT/scripts/setup.sh"
  cmake --preset "$KQ_WINDOWS_PRESET" >/dev/null
  cmake --build --preset "$KQ_WINDOWS_PRESET" --target "$@"
}

# Waits up to ten seconds for the eyes window to show on the display.
kq_wait_for_eyes() {
  local _
  for _ in $(seq 100); do
    xdotool search --name '^kqtovim$' >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
