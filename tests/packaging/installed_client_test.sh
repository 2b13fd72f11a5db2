#!/usr/bin/env bash
# The installed game, as a player starts it from the menu: the unpacked client is
# started from a folder that holds no game data, with HOME and XDG_DATA_HOME in a
# temporary folder, on an X server of its own. A name typed and "Go!" pressed write
# brambleduck.ini into the player's folder and nowhere else; a second start shows the
# name again (its "Go!" saves the name box's text anew). The town it shows after "Go!"
# comes from the installed data. Escape ends each start with 0.
# Usage: installed_client_test.sh PACKAGE_FOLDER FIND_PIXELS
set -euo pipefail
source "$(dirname "$0")/../support/xvfb.sh"
source "$(dirname "$0")/unpack.sh"

unpack_packages "$(realpath "$1")"
find_pixels=$2
start_server
mkdir "$work/home" "$work/elsewhere"
export HOME="$work/home" XDG_DATA_HOME="$work/home/data"
settings="$XDG_DATA_HOME/quendle/brambleduck.ini"

# Starts the unpacked client in the other folder; sets `pid` and `window`.
start() {
  (cd "$work/elsewhere" && exec "$root/usr/games/quendle") >>"$work/client.out" 2>>"$work/client.err" &
  pid=$!
  started+=("$pid")
  window=$(window_of "$pid" 'Vellumstone Brambleduck') || fail "the window did not appear"
}

# Presses "Go!" (from (555, 381) to (630, 400) of the window) and waits for the
# settings file to hold a length byte and NAME.
go_saves() {
  local name=$1
  xdotool mousemove --window "$window" 592 390 click 1
  wait_for saved "$name" >/dev/null || fail "brambleduck.ini does not hold \"$name\""
}
saved() { if cmp -s "$settings" <(printf '%s' "$1"); then echo yes; fi; }

# Prints something once the play view shows the town's radar, whose frame has its
# top-left corner at (520, 280) (find_pixels answers "minX minY maxX maxY count").
shows_town() { if "$find_pixels" "$window" 0 0 640 380 9AA6AC | grep -q '^520 280 '; then echo yes; fi; }

# Leaves with Escape and checks that the client ended with 0.
leave() {
  xdotool windowfocus --sync "$window"
  xdotool key Escape
  local status=0
  wait "$pid" || status=$?
  started=()
  [ "$status" -eq 0 ] || fail "the client ended with status $status"
}

start
# The name box spans (0, 400) to (600, 418): its text is replaced by the name.
xdotool mousemove --window "$window" 300 409 click 1
xdotool windowfocus --sync "$window"
xdotool key End
xdotool key --repeat 20 BackSpace
xdotool type Wren
go_saves $'\x04Wren'
wait_for shows_town >/dev/null || fail "the town is not shown after \"Go!\""
leave
found=$(find "$work" -iname brambleduck.ini)
[ "$found" = "$settings" ] || fail "settings files: ${found:-none}"
[ "$(stat -c %a "$XDG_DATA_HOME/quendle")" = 700 ] || fail "the player's folder is open to others"

start
rm "$settings"
go_saves $'\x04Wren'
leave
echo "installed_client_test: passed"
