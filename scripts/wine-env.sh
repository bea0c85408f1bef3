# Sourced, not run: the environment every Wine process of this project gets.
# NETCHANGE_WINE_STATE names the folder that holds the prefix, the generated
# locale and the record of the running session (display, Xvfb pid).
: "${NETCHANGE_WINE_STATE:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine}"
export NETCHANGE_WINE_STATE
export WINEPREFIX="$NETCHANGE_WINE_STATE/prefix"
export WINEDEBUG=-all
export WINEARCH=win64
# Installers under test create shortcuts; Wine must not mirror them into the
# host's desktop menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
# Wine takes its ANSI code page from the Unix locale: zh_CN.UTF-8 gives 936,
# and the locale must exist or Chinese file names and arguments get mangled.
# The shell itself keeps its own locale; only Wine's processes get this one.
export LOCPATH="$NETCHANGE_WINE_STATE/locale"
export WINELOADER=/usr/lib/wine/wine64
# NETCHANGE_WINE_LOCALE runs a test under another one (en_US.UTF-8 is there too).
WINE_LOCALE=${NETCHANGE_WINE_LOCALE:-zh_CN.UTF-8}
# Without address-space randomisation: Wine needs its fixed addresses (the
# shared user data page at 0x7FFE0000 among them), and where a randomised
# mapping took one, about one start in a thousand ended at once with
# "failed to map the shared user data" and nothing else.
WINE=(setarch "$(uname -m)" -R env LANG=$WINE_LOCALE LC_ALL=$WINE_LOCALE /usr/lib/wine/wine64)
# The bare wineserver binary: Debian's wrapper script forces -p0.
WINESERVER=/usr/lib/wine/wineserver64
if [ -f "$NETCHANGE_WINE_STATE/display" ]; then
    DISPLAY=$(cat "$NETCHANGE_WINE_STATE/display")
    export DISPLAY
fi
