#!/bin/sh
# The editor keeps its window's place and size over restarts under a real window manager (Xvfb
# with openbox, closed with Esc through xdotool): the rectangle it stores, frame included, is the
# rectangle it shows again. Offscreen tests cannot see this: there the frame is known at once.
# Usage: window-restarts.sh QXPAN
set -eu
qxpan=$1
for tool in Xvfb openbox xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "window-restarts: $tool is missing (scripts/install-deps test installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own, whatever else runs.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids="$pids $!"
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
DISPLAY=:$(cat "$work/display")
export DISPLAY
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# Under AddressSanitizer: the X keyboard library's strndup reads past its string's end, which the
# strict string check reports at start-up; this test is about the window, not that library.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
mkdir -p "$HOME"
openbox >/dev/null 2>&1 &
pids="$pids $!"
sleep 1

store="$work/qxctrl.ini"
stored() { grep '^Window=' "$store" | head -n 1; }
fail() {
    echo "window-restarts: $*" >&2
    [ -f "$work/out" ] && sed 's/^/  qxpan: /' "$work/out" >&2
    exit 1
}

# Starts the editor, waits for its window, runs "$@" on it (window id appended), closes it with
# Esc and sets $now to the rectangle it stored.
run() {
    "$qxpan" --config "$store" >"$work/out" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 600); do
        window=$(xdotool search --onlyvisible --pid "$pid" --name "Full Check Window" 2>/dev/null |
            head -n 1) || true
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the editor ended before its window showed"
        sleep 0.1
    done
    [ -n "$window" ] || fail "the editor's window did not show within a minute"
    sleep 2 # the window manager's frame arrives a little after the window
    if [ $# -gt 0 ]; then
        "$@" "$window"
        sleep 1
    fi
    for _ in $(seq 20); do
        xdotool windowactivate --sync "$window" key Escape 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break 2
            sleep 0.1
        done
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        fail "Esc did not close the editor"
    fi
    wait "$pid" || true
    now=$(stored)
}

resize() { xdotool windowsize "$1" 900 620 windowmove "$1" 40 50; }

run
first=$now
echo "first start: $first"
for i in 2 3; do
    run
    [ "$now" = "$first" ] || fail "start $i stored '$now', the start before it '$first'"
done

# A size and place the user chose are kept just as well.
run resize
chosen=$now
echo "after the user's resize: $chosen"
[ "$chosen" != "$first" ] || fail "the user's resize was not stored"
for i in 1; do
    run
    [ "$now" = "$chosen" ] || fail "restart $i after the resize stored '$now', not '$chosen'"
done
echo "window-restarts: the window kept its rectangle over 4 restarts"
