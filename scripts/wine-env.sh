# Sourced by the scripts: one private 32-bit Wine prefix under build/, quiet and fast.
KQ_ROOT=${KQ_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$KQ_ROOT/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko installers popping up while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once, with the settings that keep tests fast and crash dialogs away.
kq_wine_prefix() {
  if [ -f "$WINEPREFIX/.kq-ready" ]; then
    return 0
  fi
  mkdir -p "$WINEPREFIX"
  DISPLAY= wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Without a window manager every destroyed window would cost about two seconds.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # A crash must end the process, not wait on a dialog nobody can click.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.kq-ready"
}

# Installs what is missing and builds the given targets of the Windows configuration.
kq_build_windows() {
  "$KQ_ROOT/scripts/setup.sh"
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target "$@"
}
