#!/usr/bin/env bash
# Runs the desktop form (desktop_form.cpp) on an X server of its own and works it with
# real X input: turns the wheel over it, types into its edit box, clicks its button,
# dismisses the message box that follows, and checks the lines the form prints and the
# caption it sets. Never touches the machine's own display.
# Usage: desktop_test.sh FORM_PROGRAM
set -euo pipefail
source "$(dirname "$0")/../support/xvfb.sh"

form=$1

# The message box's name is of a type xdotool cannot read, so xwininfo finds it.
box_window() { xwininfo -root -tree | awk '/"Desktop box"/ { print $1; exit }'; }

start_server
"$form" >"$work/form.out" 2>"$work/form.err" &
program=$!
started+=("$program")

window=$(window_of "$program" 'Desktop form') ||
  fail "the form's window did not appear"

# 320 x 200 at the largest scale that fits 85% of 1920 x 1080.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH x $HEIGHT" = "1280 x 800" ] || fail "the window is $WIDTH x $HEIGHT, not 1280 x 800"

# One notch up and one down at (40, 20) of the surface, above the edit box.
xdotool mousemove --window "$window" $((40 * 4)) $((20 * 4)) click 4 click 5
xdotool windowfocus --sync "$window"
xdotool type 'Hellp'
xdotool key BackSpace
xdotool type 'o, world!'
# The middle of the button, which spans (110, 120) to (210, 150) of the surface.
xdotool mousemove --window "$window" $((160 * 4)) $((135 * 4)) click 1

box=$(wait_for box_window) || fail "the message box did not appear"
xdotool windowfocus --sync "$box"
xdotool key Return

timeout 30 xdotool search --sync --name '^Hello, world!$' >/dev/null ||
  fail "the caption is \"$(xdotool getwindowname "$window")\", not \"Hello, world!\""

# The window core turns SIGTERM into WM_CLOSE, on which the form quits.
kill -TERM "$program"
status=0
wait "$program" || status=$?
started=()
[ "$status" -eq 0 ] || fail "the form ended with status $status"
# The form's lines but for those of the keys typed.
printed=$(grep -Ev '^(key (down|up)|char) ' "$work/form.out")
expected=$'wheel 120 at 40,20\nwheel -120 at 40,20\nHello, world!'
[ "$printed" = "$expected" ] || fail "the form printed \"$printed\""
echo "desktop_test: passed"
