# Sourced by the scripts that build for or run under Wine.
#
# Tarvola is a 32-bit Windows program. Debian's Wine runs 32-bit Windows programs through a 32-bit Linux
# loader, which only works where the kernel runs 32-bit Linux programs (some kernels have that switched
# off). There the Windows tests and the program run from the x86_64 build of the same sources under
# 64-bit Wine instead; the i686 build is still compiled and linked.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

can_run_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

if [ -n "${TARVOLA_WINDOWS_TREE:-}" ]; then
    :
elif can_run_32bit; then
    TARVOLA_WINDOWS_TREE=win32
else
    TARVOLA_WINDOWS_TREE=win64
fi
export TARVOLA_WINDOWS_TREE
if [ "$TARVOLA_WINDOWS_TREE" = win32 ]; then
    export WINE=/usr/lib/wine/wine
else
    export WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
fi
windows_build="$top/build/$TARVOLA_WINDOWS_TREE"

# Our own quiet prefix in the build tree, without the Mono or Gecko installers.
export WINEPREFIX="$windows_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# An ALSA null sound card whose output is captured to a file, so wave-out has a device to play on.
sound_dir="$windows_build/sound"
mkdir -p "$sound_dir"
export TARVOLA_SOUND_CAPTURE="$sound_dir/captured.raw"
cat > "$sound_dir/asound.conf" <<CONF
pcm.!default { type file slave.pcm "null" file "$TARVOLA_SOUND_CAPTURE" format "raw" }
pcm.null { type null }
ctl.!default { type hw card 0 }
CONF
export ALSA_CONFIG_PATH="$sound_dir/asound.conf"

# Creates the prefix once.
ensure_wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        "$WINE" wineboot.exe -i >/dev/null 2>&1 || true
        # Wine draws the window frames itself: Xvfb has no window manager to draw them.
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
        wineserver -w
    fi
}
