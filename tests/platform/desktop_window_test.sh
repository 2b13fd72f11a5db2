#!/usr/bin/env bash
# Runs the desktop form (desktop_form.cpp) on an X server of its own, under a window
# manager, and resizes its window, makes it fullscreen with F11 and Alt+Enter and back,
# and clicks in it. After each change the window must show the form's 320 x 200 surface
# at the largest whole-number scale that fits, centred, unsmoothed, black around it;
# clicks must reach the surface's points, and clicks on the black nowhere. The form must
# see none of the fullscreen keys, and a plain Enter as ever. Never touches the
# machine's own display.
# Usage: desktop_window_test.sh FORM_PROGRAM PICTURE_PROGRAM
set -euo pipefail
source "$(dirname "$0")/../support/xvfb.sh"

form=$1
picture=$2

window_size() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$WIDTH x $HEIGHT"
}

# Prints "yes" when the window is SIZE and shows the surface at SCALE with its top-left
# corner at (LEFT, TOP) of the window, and the surface is the one it showed first.
shows() {
  local size=$1 scale=$2 left=$3 top=$4
  [ "$(window_size)" = "$size" ] || return 1
  "$picture" "$window" 320 200 "$scale" "$left" "$top" "$work/now.bmp" 2>"$work/picture.err" || return 1
  [ -e "$work/first.bmp" ] || cp "$work/now.bmp" "$work/first.bmp"
  cmp -s "$work/first.bmp" "$work/now.bmp" || { echo "another surface than at first" >"$work/picture.err" && return 1; }
  echo yes
}

expect_picture() {
  wait_for shows "$@" >/dev/null ||
    fail "the window is $(window_size) and does not show the surface at scale $2 at ($3, $4) in $1"
}

# A left click at a point of the window.
click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# A key, or keys pressed together, with the keyboard focus on the window.
press() {
  xdotool windowfocus --sync "$window"
  xdotool key "$1"
}

printed() { wait_for grep -x "$1" "$work/form.out" >/dev/null || fail "the form did not print \"$1\""; }

start_server
start_window_manager
"$form" >"$work/form.out" 2>"$work/form.err" &
program=$!
started+=("$program")

window=$(window_of "$program" 'Desktop form') ||
  fail "the form's window did not appear"

# The first size: 320 x 200 at the largest scale that fits 85% of 1920 x 1080.
expect_picture "1280 x 800" 4 0 0

xdotool windowsize "$window" 1000 700
expect_picture "1000 x 700" 3 20 50
# One pixel left of the surface, one below it, then its point (300, 190).
click_at 19 200
click_at 500 650
click_at $((20 + 300 * 3 + 1)) $((50 + 190 * 3 + 2))
printed "press at 300,190"

# The window asks the window manager to keep it at least as large as the surface.
xprop -id "$window" WM_NORMAL_HINTS | grep -q 'minimum size: 320 by 200$' ||
  fail "the window's least size is not 320 x 200: $(xprop -id "$window" WM_NORMAL_HINTS)"
xdotool windowsize "$window" 320 200
expect_picture "320 x 200" 1 0 0
xdotool windowsize "$window" 700 900
expect_picture "700 x 900" 2 30 250

press F11
expect_picture "1920 x 1080" 5 160 40
# One pixel left of the surface, then its point (10, 10).
click_at 159 500
click_at $((160 + 10 * 5 + 4)) $((40 + 10 * 5))
printed "press at 10,10"
press F11
expect_picture "700 x 900" 2 30 250
press alt+Return
expect_picture "1920 x 1080" 5 160 40
press alt+KP_Enter
expect_picture "700 x 900" 2 30 250
press Return
printed "key up 13"

# The window core turns SIGTERM into WM_CLOSE, on which the form quits.
kill -TERM "$program"
status=0
wait "$program" || status=$?
unset 'started[-1]'  # the form, started last
[ "$status" -eq 0 ] || fail "the form ended with status $status"
# Alt reaches the form (18 is VK_MENU); F11 and the Enter of Alt+Enter do not.
expected=$(printf '%s\n' 'press at 300,190' 'press at 10,10' 'key down 18' 'key up 18' 'key down 18' 'key up 18' \
  'key down 13' 'char 13' 'key up 13')
[ "$(cat "$work/form.out")" = "$expected" ] || fail "the form printed \"$(cat "$work/form.out")\""
echo "desktop_window_test: passed"
