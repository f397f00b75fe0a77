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
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
mkdir -p "$HOME"
openbox >/dev/null 2>&1 &
pids="$pids $!"
sleep 1

store="$work/qxctrl.ini"
stored() { grep '^Window=' "$store" | head -n 1; }

# Starts the editor, waits for its window, runs "$@" on it (window id appended), closes it with
# Esc and prints the rectangle it stored.
run() {
    "$qxpan" --config "$store" >"$work/out" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 200); do
        window=$(xdotool search --onlyvisible --pid "$pid" --name "Full Check Window" 2>/dev/null |
            head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        echo "window-restarts: the editor's window did not show"
        cat "$work/out"
        kill "$pid" 2>/dev/null || true
        exit 1
    fi
    sleep 1 # the window manager's frame arrives a little after the window
    if [ $# -gt 0 ]; then
        "$@" "$window"
        sleep 0.5
    fi
    xdotool windowactivate --sync "$window" key Escape
    wait "$pid" || true
    stored
}

resize() { xdotool windowsize "$1" 900 620 windowmove "$1" 40 50; }

first=$(run)
echo "first start: $first"
for i in 2 3 4 5 6; do
    now=$(run)
    if [ "$now" != "$first" ]; then
        echo "window-restarts: start $i stored '$now', the start before it '$first'"
        exit 1
    fi
done

# A size and place the user chose are kept just as well.
chosen=$(run resize)
echo "after the user's resize: $chosen"
if [ "$chosen" = "$first" ]; then
    echo "window-restarts: the user's resize was not stored"
    exit 1
fi
for i in 1 2; do
    now=$(run)
    if [ "$now" != "$chosen" ]; then
        echo "window-restarts: restart $i after the resize stored '$now', not '$chosen'"
        exit 1
    fi
done
echo "window-restarts: the window kept its rectangle over 8 restarts"
