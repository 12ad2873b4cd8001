#!/bin/sh
# Takes a picture of the machine window: starts Valvane on a private X server (with
# openbox when it is installed), opens TAPE through File > Open..., presses Start,
# waits, optionally dials digits at the stops, and saves the machine window as a PNG.
#
#   tools/screenshot.sh TAPE OUTPUT.png [DIAL-DIGITS]
#
# Environment: VALVANE (the program; default build/app/valvane under the checkout),
# WAIT (seconds to let the tape run before dialling and before the picture; default 4),
# INITIAL_ORDERS (1 or 2; default 2), LONG_TANK (0 to 31: the long tank to show, chosen
# after Start; default 0). Example, a game of noughts and crosses:
#   LONG_TANK=2 tools/screenshot.sh tapes/noughts.txt docs/images/noughts.png 59
# Needs Xvfb, xdotool and ImageMagick's import. Example, the README's picture:
#   tools/screenshot.sh tapes/squares.txt docs/images/valvane.png
set -eu

usage() {
    echo "usage: $0 TAPE OUTPUT.png [DIAL-DIGITS]" >&2
    exit 1
}
if [ $# -lt 2 ] || [ $# -gt 3 ]; then usage; fi
tape=$(realpath "$1")
output=$(realpath -m "$2")
digits=${3:-}
case $digits in *[!0-9]*) usage ;; esac
top=$(cd "$(dirname "$0")/.." && pwd)
valvane=$(realpath "${VALVANE:-$top/build/app/valvane}")
wait_run=${WAIT:-4}
orders=${INITIAL_ORDERS:-2}
[ -f "$tape" ] || { echo "$0: no tape $1" >&2; exit 1; }
[ -x "$valvane" ] || { echo "$0: no program $valvane (build it, or set VALVANE)" >&2; exit 1; }
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 1; }
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/valvane-shot.XXXXXX")
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

# A display of our own: the first free number from 140 on.
display=140
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x900x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
pids="$!"
DISPLAY=":$display"
export DISPLAY
tries=0
until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -lt 50 ] || { echo "$0: Xvfb did not start" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
    sleep 0.2
done
if command -v openbox >/dev/null; then
    openbox >"$scratch/openbox.log" 2>&1 &
    pids="$! $pids"
    sleep 1
fi

# The first window whose title is exactly NAME, waiting for it to appear.
window() {
    tries=0
    while :; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
        [ -n "$id" ] && { echo "$id"; return; }
        tries=$((tries + 1))
        [ $tries -lt 100 ] || { echo "$0: no window \"$1\"" >&2; return 1; }
        sleep 0.2
    done
}

# Its own working directory, so its settings file is a fresh one.
printf '[Edsac]\nInitialOrders=%s\nShowSplash=0\n' "$orders" >"$scratch/Valvane.ini"
(cd "$scratch" && exec "$valvane") >"$scratch/valvane.log" 2>&1 &
pids="$! $pids"
main=$(window "The Valvane: Version [0-9.]*")
machine=$(window EDSAC)

# File > Open..., the tape's path typed into the file name field.
xdotool windowactivate --sync "$main" key ctrl+o
dialog=$(window Open)
xdotool windowactivate --sync "$dialog" type --delay 5 "$tape"
xdotool key Return
tries=0
while xdotool search --onlyvisible --name "^Open\$" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -lt 50 ] || { echo "$0: the Open dialog did not take $tape" >&2; exit 1; }
    sleep 0.2
done

# Start, at its place on the machine window (its fixed layout in forms/).
xdotool windowactivate --sync "$machine" mousemove --window "$machine" 291 193 click 1
sleep "$wait_run"

# The Long Tank selector (LTSpinEdit in forms/edsac_form.cpp): the number typed over.
if [ -n "${LONG_TANK:-}" ]; then
    xdotool mousemove --window "$machine" 368 257 click 1 key ctrl+a type "$LONG_TANK"
    xdotool key Tab
    sleep 0.5
fi

# The dial holes' centres, digits 0 to 9, from the same layout.
if [ -n "$digits" ]; then
    holes="463,305 489,273 484,260 473,252 459,249 445,255 436,266 434,279 439,292 449,301"
    echo "$digits" | fold -w1 | while read -r digit; do
        hole=$(echo "$holes" | cut -d' ' -f$((digit + 1)))
        xdotool mousemove --window "$machine" "${hole%,*}" "${hole#*,}" click 1
        sleep "$wait_run"
    done
fi

# The picture, with the pointer out of the way and the machine window in front.
xdotool mousemove 0 899 windowactivate --sync "$machine"
sleep 0.5
mkdir -p "$(dirname "$output")"
import -window "$machine" "$output"
echo "$output"
