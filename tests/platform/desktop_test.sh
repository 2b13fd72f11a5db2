#!/usr/bin/env bash
# Runs the desktop form (desktop_form.cpp) on an X server of its own and works it with
# real X input: turns the wheel over it, types into its edit box, clicks its button,
# dismisses the message box that follows, and checks the lines the form prints and the
# caption it sets. Never touches the machine's own display.
# Usage: desktop_test.sh FORM_PROGRAM
set -euo pipefail

form=$1
work=$(mktemp -d)
server=""
program=""

finish() {
  if [ -n "$program" ]; then
    kill -KILL "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
  fi
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT

fail() {
  echo "desktop_test: $*" >&2
  cat "$work/err" >&2 2>/dev/null || true
  exit 1
}

# Xvfb has no font of the kind message boxes ask for; DejaVu Sans, which the game's
# text uses too, serves as one.
make_fonts() {
  mkdir "$work/fonts"
  ln -s /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$work/fonts/"
  printf '%s\n' 2 \
    'DejaVuSans.ttf -misc-dejavu sans-medium-r-normal--0-0-0-0-p-0-iso8859-1' \
    'DejaVuSans.ttf -misc-dejavu sans-medium-r-normal--0-0-0-0-p-0-iso10646-1' >"$work/fonts/fonts.dir"
}

# Starts Xvfb on the first display number from 90 up that no server holds, and sets
# DISPLAY to it. When another server takes a number meanwhile, Xvfb gives up on it and
# the next number is tried.
start_server() {
  mkfifo "$work/ready"
  local n ready
  for n in $(seq 90 139); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -fp "$work/fonts,built-ins" \
      -displayfd 3 3>"$work/ready" 2>>"$work/xvfb.log" &
    server=$!
    # Xvfb writes the number once it accepts clients, and closes the pipe unwritten
    # when it gives up.
    if read -r ready <"$work/ready" && [ "$ready" = "$n" ]; then
      export DISPLAY=":$n"
      return
    fi
    wait "$server" || true
    server=""
  done
  fail "no display number was free: $(cat "$work/xvfb.log")"
}

# Runs a command until it prints something, for at most 30 seconds, and prints that.
wait_for() {
  local found deadline=$((SECONDS + 30))
  until found=$("$@") && [ -n "$found" ]; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
  echo "$found"
}

# The message box's name is of a type xdotool cannot read, so xwininfo finds it.
box_window() { xwininfo -root -tree | awk '/"Desktop box"/ { print $1; exit }'; }

# D-Bus, which SDL uses to keep the screen saver off, keeps memory it never frees.
printf 'leak:libdbus-1.so\n' >"$work/leaks.supp"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$work/leaks.supp"

make_fonts
start_server
"$form" >"$work/out" 2>"$work/err" &
program=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Desktop form$' | head -n 1) ||
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
program=""
[ "$status" -eq 0 ] || fail "the form ended with status $status"
expected=$'wheel 120 at 40,20\nwheel -120 at 40,20\nHello, world!'
[ "$(cat "$work/out")" = "$expected" ] || fail "the form printed \"$(cat "$work/out")\""
echo "desktop_test: passed"
