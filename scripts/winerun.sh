#!/usr/bin/env bash
# Runs a Windows program of a build directory under 64-bit Wine, in a prefix of its own.
#
#   winerun.sh <build-dir> <program> [args...]   run a program (prepares on first use)
#   winerun.sh --prepare <build-dir>             display, prefix, warm wineserver, anchor
#   winerun.sh --stop <build-dir>                stop what --prepare started
#
# The prefix is <build-dir>/wineprefix, initialised once (fonts copied in, no
# Gecko/Mono prompts). Without DISPLAY a private Xvfb is started: without a display
# Wine's CreateWindow fails without an error code. Scripts in scripts/prefix.d run
# at every --prepare (registrations of the simulated hardware and our servers).
# TX_WINEDEBUG sets WINEDEBUG (default: -all).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
mode=run
case "${1:-}" in
    --prepare) mode=prepare; shift ;;
    --stop) mode=stop; shift ;;
esac
[ $# -ge 1 ] || { echo "usage: winerun.sh [--prepare|--stop] <build-dir> [program args...]" >&2; exit 2; }
mkdir -p "$1"
build=$(cd "$1" && pwd); shift
state="$build/.wine-run"
mkdir -p "$state"

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG="${TX_WINEDEBUG:--all}"
export WINEARCH=win64
if [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64; else wine=wine; fi
if [ -x /usr/lib/wine/wineserver64 ]; then wineserver=/usr/lib/wine/wineserver64; else wineserver=wineserver; fi

alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

ensure_display() {
    if [ -n "${DISPLAY:-}" ] && [ ! -f "$state/display" ]; then
        return
    fi
    if alive "$state/xvfb.pid" && [ -f "$state/display" ]; then
        export DISPLAY=":$(cat "$state/display")"
        return
    fi
    local fifo="$state/displayfd"
    rm -f "$fifo"
    mkfifo "$fifo"
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    local number
    read -r -t 20 number <"$fifo" || { echo "winerun: Xvfb did not start" >&2; exit 1; }
    rm -f "$fifo"
    echo "$number" >"$state/display"
    export DISPLAY=":$number"
}

ensure_prefix() {
    [ -f "$WINEPREFIX/.tx-ready" ] && return
    echo "winerun: initialising Wine prefix $WINEPREFIX" >&2
    WINEDLLOVERRIDES="mscoree=;mshtml=" "$wine" wineboot -i </dev/null >/dev/null 2>&1
    "$wineserver" -w
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
    touch "$WINEPREFIX/.tx-ready"
}

ensure_server() {
    # A persistent wineserver keeps each program's start-up short.
    setsid "$wineserver" -p </dev/null >/dev/null 2>&1 || true
}

run_prefix_scripts() {
    local script
    for script in "$root"/scripts/prefix.d/*.sh; do
        [ -f "$script" ] || continue
        TX_BUILD="$build" TX_WINE="$wine" bash "$script"
    done
}

ensure_anchor() {
    # An idle Wine process for the run: Wine's desktop process then starts from it,
    # with no test's output pipe to hold open after the test ends.
    alive "$state/anchor.pid" && return
    [ -f "$build/bin/txIdle.exe" ] || return 0
    setsid "$wine" "$build/bin/txIdle.exe" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/anchor.pid"
}

with_lock() {
    exec 9>"$state/lock"
    flock 9
    "$@"
    flock -u 9
    exec 9>&-
}

prepare_quick() {
    ensure_display
    echo "${DISPLAY}" >"$state/display-used"
    ensure_prefix
}

case "$mode" in
    prepare)
        with_lock prepare_quick
        ensure_server
        run_prefix_scripts
        ensure_anchor
        ;;
    stop)
        if alive "$state/anchor.pid"; then kill "$(cat "$state/anchor.pid")" 2>/dev/null || true; fi
        rm -f "$state/anchor.pid"
        "$wineserver" -k >/dev/null 2>&1 || true
        if alive "$state/xvfb.pid"; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
        rm -f "$state/xvfb.pid" "$state/display"
        ;;
    run)
        [ $# -ge 1 ] || { echo "usage: winerun.sh <build-dir> <program> [args...]" >&2; exit 2; }
        with_lock prepare_quick
        exec "$wine" "$@"
        ;;
esac
