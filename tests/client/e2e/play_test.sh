#!/usr/bin/env bash
# Two players meet, as new players would: starts quendlehost and two quendle windows on an
# X server of their own, types a name into each client, presses "Go!" with the mouse,
# walks the second player with the arrow keys towards the first, and checks from the
# windows' pixels that each client shows the other player on the map and on the radar,
# where that player is. Then both players leave with Escape and the server is closed.
# Usage: play_test.sh GAME_FOLDER FIND_PIXELS
set -euo pipefail
source "$(dirname "$0")/../../support/xvfb.sh"

game=$(realpath "$1")
find_pixels=$(realpath "$2")

# What the checks look for. Each character's hair has a colour that neither the town
# nor the other character uses, so it tells where that player is drawn.
tovi_hair=8A4B20
mirra_hair=C2451C
radar_frame=9AA6AC     # the radar picture's border, at the radar's top-left corner
radar_pens="0000FF 00FF00"
view="0 0 640 380"     # the play view, in the window
# The town is 2000 x 1600, so its radar is 100 x 80 with its top-left at (520, 280);
# a player at (x, y) has its dot at ((x + 1) / 20 + 520, (y + 1) / 20 + 280), which the
# width-2 pen paints 3 x 2 pixels from one left of and one above it.
radar_left=520
radar_top=280
# Alice joins first and takes slot 0, which starts at (350, 200) with the camera at
# (40, 0); Bob takes slot 1, at (1100, 230) with the camera at (790, 30). Bob walks only
# left, so his dot stays on row 291.
alice_dot="536 289 538 290 6"
bob_row=291
# Walking left, the camera follows once the player is closer than 280 pixels to the
# view's left edge, and from then on keeps him 282 pixels from it.
follow_offset=282

# The game's data linked into a folder of the program's own, so that the client's
# settings file is written there; the build's own folder is never written.
game_folder() {
  local folder="$work/$1" entry
  mkdir "$folder"
  for entry in "$game"/*; do ln -s "$entry" "$folder/"; done
  rm -f "$folder/brambleduck.ini"
  echo "$folder"
}

# Starts PROGRAM of the game folder in a folder named NAME; sets `pid`.
launch() {
  local name=$1 program=$2 folder
  folder=$(game_folder "$name")
  (cd "$folder" && exec "$game/$program") >"$work/$name.out" 2>"$work/$name.err" &
  pid=$!
  started+=("$pid")
}

# Answers of find_pixels over WINDOW's picture: "minX minY maxX maxY count" or "none".
look() { "$find_pixels" "$@"; }

# Prints something once WINDOW's play view shows the town (the radar's frame with its
# corner where the town's radar begins) and the character with hair colour HAIR inside
# the 32 x 48 sprite cell at (X, Y).
shows_town() {
  local window=$1 hair=$2 x=$3 y=$4 frame sprite fx fy sx sy ex ey
  { read -r frame; read -r sprite; } < <(look "$window" $view $radar_frame -- $view "$hair")
  read -r fx fy _ <<<"$frame"
  read -r sx sy ex ey _ <<<"$sprite"
  [ "$fx $fy" = "$radar_left $radar_top" ] && [ "$sprite" != none ] || return 0
  [ "$sx" -ge "$x" ] && [ "$ex" -lt $((x + 32)) ] || return 0
  [ "$sy" -ge "$y" ] && [ "$ey" -lt $((y + 48)) ] || return 0
  echo "$sprite"
}

# Types NAME into the client's name box, which spans (0, 400) to (600, 418), in place of
# what it holds, and presses "Go!", which spans (555, 381) to (630, 400).
join() {
  local window=$1 name=$2
  xdotool mousemove --window "$window" 300 409 click 1
  xdotool windowfocus --sync "$window"
  xdotool key End
  xdotool key --repeat 20 BackSpace
  xdotool type "$name"
  xdotool mousemove --window "$window" 592 390 click 1
}

# The radar dots of WINDOW: Alice's (left of x 541) and Bob's (from x 541 on).
radar_dots() {
  look "$1" $radar_left $radar_top 541 360 $radar_pens -- 541 $radar_top 620 360 $radar_pens
}

# Prints something once both windows' radars show Alice's dot and Bob's at map x BOB_X.
radars_show() {
  local window expected
  expected="$alice_dot"$'\n'"$(dot_at "$(radar_x "$1")" $bob_row)"
  for window in "$alice" "$bob"; do
    [ "$(radar_dots "$window")" = "$expected" ] || return 0
  done
  echo yes
}

# The find_pixels answer for a radar dot at (X, Y).
dot_at() { echo "$(($1 - 1)) $(($2 - 1)) $(($1 + 1)) $2 6"; }

# The radar x of a player at map x X.
radar_x() { echo $((($1 + 1) / 20 + radar_left)); }

# Prints Bob's radar x, as his own window shows it, once it is left of X.
bob_passed() {
  local dot x
  dot=$(look "$bob" 541 $radar_top 620 360 $radar_pens)
  [ "$dot" != none ] || return 0
  x=$((${dot%% *} + 1))  # the dot's point, one right of its left edge
  [ "$x" -le "$1" ] && echo "$x"
}

# Prints Bob's map x once the two windows agree on where both players are: each window
# shows each player's sprite at the same place of the map (the views differ by the
# cameras' offset, the same for both players), Alice is still at her start, Bob is
# where his camera keeps him, and both radars put the two dots where the two players are.
players_agree() {
  local a_alice a_bob b_alice b_bob ax ay bx by dx dy bob_x
  { read -r a_alice; read -r a_bob; } < <(look "$alice" $view $tovi_hair -- $view $mirra_hair)
  { read -r b_alice; read -r b_bob; } < <(look "$bob" $view $tovi_hair -- $view $mirra_hair)
  [[ "$a_alice$a_bob$b_alice$b_bob" != *none* ]] || return 0
  read -r ax ay _ <<<"$a_alice"
  read -r bx by _ <<<"$b_alice"
  # Alice's camera is at (40, 0), Bob's at (dx + 40, 30).
  dx=$((ax - bx))
  dy=$((ay - by))
  [ "$dy" -eq 30 ] && [ "$(shifted "$b_alice" $dx $dy)" = "$a_alice" ] &&
    [ "$(shifted "$b_bob" $dx $dy)" = "$a_bob" ] || return 0
  bob_x=$((dx + 40 + follow_offset))
  [ -n "$(shows_town "$alice" $tovi_hair 310 200)" ] &&
    [ -n "$(shows_town "$bob" $mirra_hair $follow_offset 200)" ] &&
    [ -n "$(radars_show "$bob_x")" ] && echo "$bob_x"
}

# Where WINDOW shows Alice's and Bob's sprites and radar dots, for failure messages.
seen_by() {
  echo "$(look "$1" $view $tovi_hair -- $view $mirra_hair | paste -sd ,) /" \
    "$(radar_dots "$1" | paste -sd ,)"
}

# A find_pixels answer moved by (DX, DY).
shifted() {
  local x0 y0 x1 y1 count
  read -r x0 y0 x1 y1 count <<<"$1"
  echo "$((x0 + $2)) $((y0 + $3)) $((x1 + $2)) $((y1 + $3)) $count"
}

# Checks that process PID, named WHO in messages, ends within 30 seconds with status 0.
ends_well() {
  local status=0
  timeout 30 tail --pid="$1" -s 0.1 -f /dev/null || fail "$2 did not end"
  wait "$1" || status=$?
  [ "$status" -eq 0 ] || fail "$2 ended with status $status"
}

# Presses Escape in WINDOW, which leaves the game, and checks that its process PID, named
# WHO in messages, ends well.
leave() {
  xdotool windowfocus --sync "$1"
  xdotool key Escape
  ends_well "$2" "$3"
}

# No sound from the test.
export SDL_AUDIODRIVER=dummy
start_server

launch server quendlehost
server_pid=$pid
server=$(window_of "$server_pid" 'Vellumstone Brambleduck Server') ||
  fail "the server's window did not appear"
wait_for listening "$server_pid" >/dev/null ||
  fail "the server does not listen on port 16738; does another program hold it?"
# Out of the clients' way: Alice at (0, 0), Bob at (660, 0), the server below them.
xdotool windowmove --sync "$server" 0 520

launch alice quendle
alice_pid=$pid
alice=$(window_of "$alice_pid" 'Vellumstone Brambleduck') || fail "Alice's window did not appear"
[ "$(look "$alice" $view $radar_frame)" = none ] || fail "Alice's window shows the radar before Go!"
join "$alice" Alice
timeout 30 xdotool search --sync --pid "$alice_pid" --name '^Alice$' >/dev/null ||
  fail "Alice's caption is \"$(xdotool getwindowname "$alice")\", not her name"
timeout 30 xdotool search --sync --pid "$server_pid" --name '^1$' >/dev/null ||
  fail "the server's caption is \"$(xdotool getwindowname "$server")\", not Tovi's 1"
wait_for shows_town "$alice" $tovi_hair 310 200 >/dev/null ||
  fail "Alice's window does not show her in the town"
[ "$(od -An -c "$work/alice/brambleduck.ini" | tr -s ' ')" = " 005 A l i c e" ] ||
  fail "Alice's settings file holds \"$(od -An -c "$work/alice/brambleduck.ini")\""

launch bob quendle
bob_pid=$pid
bob=$(window_of "$bob_pid" 'Vellumstone Brambleduck') || fail "Bob's window did not appear"
xdotool windowmove --sync "$bob" 660 0
# Bob plays Mirra: the second character button, which spans (75, 359) to (150, 380).
xdotool mousemove --window "$bob" 112 369 click 1
join "$bob" Bob
timeout 30 xdotool search --sync --pid "$bob_pid" --name '^Bob$' >/dev/null ||
  fail "Bob's caption is \"$(xdotool getwindowname "$bob")\", not his name"
timeout 30 xdotool search --sync --pid "$server_pid" --name '^2$' >/dev/null ||
  fail "the server's caption is \"$(xdotool getwindowname "$server")\", not Mirra's 2"

# Far apart, each sees the other only on the radar.
far_apart() {
  [ "$(look "$alice" $view $mirra_hair)" = none ] && [ "$(look "$bob" $view $tovi_hair)" = none ] &&
    radars_show 1100
}
wait_for far_apart >/dev/null ||
  fail "far apart, Alice's window shows $(seen_by "$alice"), Bob's $(seen_by "$bob")"

# Bob walks left until his dot is left of x 550: he is then at x 598 or less, in Alice's
# view, and she is in his.
xdotool windowfocus --sync "$bob"
xdotool keydown Left
walked=$(wait_for bob_passed 549) || fail "Bob's dot did not move left: \"$(radar_dots "$bob")\""
xdotool keyup Left
bob_x=$(wait_for players_agree) ||
  fail "Alice's window shows $(seen_by "$alice"), Bob's $(seen_by "$bob")"
echo "play_test: Bob stopped at x $bob_x (his dot passed x $walked)"

leave "$alice" "$alice_pid" Alice
leave "$bob" "$bob_pid" Bob
# The window core turns SIGTERM into WM_CLOSE, on which the server closes.
kill -TERM "$server_pid"
ends_well "$server_pid" "the server"
started=()
echo "play_test: passed"
