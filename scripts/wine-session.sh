#!/usr/bin/env bash
# The Wine session shared by a whole test or run: generated zh_CN.UTF-8 locale,
# a private prefix, one Xvfb display (unless KEEP_DISPLAY=1 and DISPLAY is
# set), Wine's taskbar desktop, and one warmed-up persistent wineserver.
#   wine-session.sh start | stop
# With NETCHANGE_DESKTOP_KEEPER naming the desktop keeper (tests/session), the
# desktop stays up for the whole session. NETCHANGE_SCREEN sets the screen's
# size (1280x800; the tests take 2560x1600, which 300 % scaling needs).
# Whether the shipped 32-bit program can run is decided once, at start (see
# check_i386).
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
root=$(cd "$here/.." && pwd)
source "$here/wine-env.sh"
state=$NETCHANGE_WINE_STATE
screen=${NETCHANGE_SCREEN:-1280x800}

quiet() { "$@" </dev/null >/dev/null 2>&1; }

start_display() {
    if [ "${KEEP_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        echo "$DISPLAY" > "$state/display"
        return
    fi
    # Xvfb picks a free display number itself and reports it, so sessions
    # started side by side never collide.
    rm -f "$state/xvfb.number"
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset \
        </dev/null >"$state/xvfb.log" 2>&1 3>"$state/xvfb.number" &
    echo $! > "$state/xvfb.pid"
    local n=""
    for _ in $(seq 1 100); do
        n=$(tr -dc 0-9 < "$state/xvfb.number" 2>/dev/null || true)
        [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    [ -n "$n" ] || { echo "wine-session: Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
    echo ":$n" > "$state/display"
}

make_prefix() {
    # A prefix made before wine32 was installed has no 32-bit side: the
    # shipped program then cannot load kernel32.dll. Make it anew.
    if [ -f "$WINEPREFIX/.netchange-ready" ] &&
       { [ ! -x /usr/lib/wine/wine ] || [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; }; then
        return
    fi
    rm -rf "$WINEPREFIX"
    quiet timeout 600 "${WINE[@]}" wineboot --init
    # One desktop with a taskbar and a notification area that every process joins.
    quiet "${WINE[@]}" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f
    # The panel and About box ask for 华文楷体, a Windows font; a Kai font
    # from Debian stands in for it.
    quiet "${WINE[@]}" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "华文楷体" /d "AR PL UKai CN" /f
    # A Chinese Windows draws the shell dialog font with CJK glyphs of its
    # own; Wine's Tahoma has none.
    local substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    quiet "${WINE[@]}" reg add "$substitutes" /v "MS Shell Dlg" /d "WenQuanYi Zen Hei" /f
    quiet "${WINE[@]}" reg add "$substitutes" /v "MS Shell Dlg 2" /d "WenQuanYi Zen Hei" /f
    # Drive D: is an optical drive (an empty folder stands for its disc), so
    # the start-up check has a drive to report on.
    mkdir -p "$state/cdrom"
    ln -sfn "$state/cdrom" "$WINEPREFIX/dosdevices/d:"
    quiet "${WINE[@]}" reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f
    quiet "$WINESERVER" -w
    touch "$WINEPREFIX/.netchange-ready"
}

# The shipped program is 32-bit: it runs only where 32-bit x86 code runs,
# natively or through qemu-i386 (scripts/install-deps.sh sets that up where
# the kernel cannot). A static i386 program (tests/session/I386Probe.c, built with
# the tests) tells; NETCHANGE_NO_I386=1 makes the session behave as if it
# could not. The state folder records how it runs ("i386-mode": native or
# emulated) or why it does not ("no-i386"), for wine-run.sh.
check_i386() {
    local probe=${NETCHANGE_I386_PROBE:-$root/build/x86_64/i386_probe} reason="" out mode=native
    rm -f "$state/no-i386" "$state/i386-mode"
    if [ -n "${NETCHANGE_NO_I386:-}" ]; then
        reason="NETCHANGE_NO_I386 is set"
    elif [ ! -x "$probe" ]; then
        reason="no i386 probe at $probe"
    elif ! out=$("$probe" 2>&1); then
        reason="this kernel cannot run 32-bit x86 code (a static i386 program: ${out:-no output})"
    fi
    if [ -n "$reason" ]; then
        echo "$reason" > "$state/no-i386"
        echo "wine-session: i686 program disabled: $reason"
        return
    fi
    # A 32-bit program that ran through qemu-i386 as the kernel's handler.
    if grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
        mode=emulated
        echo "wine-session: i686 program emulated by qemu-i386: only the smoke set of its tests runs"
    fi
    echo "$mode" > "$state/i386-mode"
}

start() {
    mkdir -p "$state"
    if [ -f "$state/display" ]; then stop; fi
    # Chinese for the session; English for the tests of another system locale.
    local locale
    for locale in zh_CN en_US; do
        [ ! -f "$LOCPATH/$locale.UTF-8/LC_CTYPE" ] || continue
        mkdir -p "$LOCPATH"
        localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8" >/dev/null 2>&1 || true
        [ -f "$LOCPATH/$locale.UTF-8/LC_CTYPE" ] || { echo "wine-session: cannot generate $locale.UTF-8" >&2; exit 1; }
    done
    check_i386
    start_display
    source "$here/wine-env.sh"
    make_prefix
    # Persistent server, then a warm-up with null stdio: Wine's helper
    # processes (services, explorer) must not hold anyone's output pipe.
    quiet "$WINESERVER" -p
    # NetChange registers itself to start with Windows, and wineboot starts
    # what is registered: a program or test left there by the last session
    # would run in the background of this one. The 32-bit program writes
    # to the 32-bit view.
    local value view
    for value in VELMORNETCHANGE BAREDIALOGBENCH; do
        for view in 32 64; do
            quiet "${WINE[@]}" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v "$value" /f \
                "/reg:$view" || true
        done
    done
    # A program that crashes prints Wine's backtrace and ends, instead of
    # waiting in the debugger's dialog until its test times out.
    quiet "${WINE[@]}" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    # A test ended hard (a time-out) cannot put back the scaling or the Kai
    # stand-in it changed: every session starts at 100 % with the stand-in.
    quiet "${WINE[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f
    quiet "${WINE[@]}" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "华文楷体" /d "AR PL UKai CN" /f
    quiet "${WINE[@]}" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$screen" /f
    quiet timeout 600 "${WINE[@]}" wineboot
    # A resident hidden window keeps the desktop process up between test
    # programs (see tests/session/DesktopKeeper.cpp); it ends with the wineserver.
    if [ -n "${NETCHANGE_DESKTOP_KEEPER:-}" ] && [ -f "$NETCHANGE_DESKTOP_KEEPER" ]; then
        "${WINE[@]}" "$NETCHANGE_DESKTOP_KEEPER" </dev/null >/dev/null 2>&1 &
    fi
    echo "wine session up on DISPLAY=$DISPLAY, prefix $WINEPREFIX"
}

stop() {
    quiet "$WINESERVER" -k || true
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid"
    fi
    rm -f "$state/display"
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
