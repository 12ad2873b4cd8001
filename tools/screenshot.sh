#!/bin/sh
# Pictures of Valvane's windows for the documentation, made on a private X
# server (Xvfb, with openbox) so that they come out the same on any machine.
#
#   tools/screenshot.sh noughts [BUILD_DIR]
#       docs/images/noughts.png: the machine window in the middle of a game of
#       noughts and crosses (tapes/noughts.txt), the board on long tank 2.
#
# BUILD_DIR is the build holding app/valvane (default: build). Needs Xvfb,
# openbox, xdotool and ImageMagick's import.
set -eu

Mode=${1:-}
Top=$(cd "$(dirname "$0")/.." && pwd)
Build=$(cd "${2:-$Top/build}" && pwd)
App=$Build/app/valvane
[ -x "$App" ] || { echo "screenshot.sh: no $App; build the app first" >&2; exit 1; }

# A display number nobody else uses.
Num=90
while [ -e /tmp/.X11-unix/X$Num ] || [ -e /tmp/.X$Num-lock ]; do Num=$((Num + 1)); done
Work=$(mktemp -d)
Pids=""
cleanup() {
    for Pid in $Pids; do kill "$Pid" 2>/dev/null || true; done
    rm -rf "$Work"
}
trap cleanup EXIT INT TERM

Xvfb :$Num -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
Pids="$! $Pids"
export DISPLAY=:$Num
for _ in 1 2 3 4 5 6 7 8 9 10; do xdpyinfo >/dev/null 2>&1 && break; sleep 0.5; done
openbox >/dev/null 2>&1 &
Pids="$! $Pids"
sleep 1

# Valvane keeps its settings in the directory it starts in: a fresh one, with
# the machine window at a known place and no splash window.
cat >"$Work/Valvane.ini" <<EOF
[EdsacFormPlacement]
Left=300
Top=200

[Edsac]
ShowSplash=0
InitialOrders=2
RealTime=0
EOF

start_valvane() {
    (cd "$Work" && exec "$App") >/dev/null 2>&1 &
    Pids="$! $Pids"
    Panel=$(xdotool search --sync --name '^EDSAC$' | head -n 1)
    sleep 1
}

# Opens a tape with File > Open..., typing its path into the file dialog.
open_tape() {
    xdotool windowfocus --sync "$Panel"
    xdotool key ctrl+o
    sleep 1.5
    xdotool type --delay 20 "$1"
    xdotool key Return
    sleep 1.5
}

# Presses a control of the machine window at (x, y) in its client area.
press() {
    xdotool mousemove --window "$Panel" "$1" "$2" click 1
    sleep "${3:-0.5}"
}

# The centres of the dial's holes, 1 to 9 and 0 (each hole is 12 x 12).
dial() {
    case $1 in
    1) press 489 273 2 ;; 2) press 484 260 2 ;; 3) press 473 252 2 ;;
    4) press 459 249 2 ;; 5) press 445 255 2 ;; 6) press 436 266 2 ;;
    7) press 434 279 2 ;; 8) press 439 292 2 ;; 9) press 449 301 2 ;;
    0) press 463 305 2 ;;
    esac
}

shot() {
    mkdir -p "$Top/docs/images"
    import -window "$Panel" "$Top/docs/images/$1"
    echo "wrote docs/images/$1"
}

case $Mode in
noughts)
    start_valvane
    open_tape "$Top/tapes/noughts.txt"
    press 291 193 6          # Start: the tape loads and the instructions print
    press 375 257            # the Long Tank selector: show tank 2
    xdotool key ctrl+a 2 Tab
    sleep 1
    dial 5                   # X in the centre; the machine answers in a corner
    dial 9                   # X in the far corner; the machine takes another
    shot noughts.png
    ;;
*)
    echo "usage: tools/screenshot.sh noughts [BUILD_DIR]" >&2
    exit 1
    ;;
esac
