#!/usr/bin/env bash
# The installed server, as a host without a screen runs it: the unpacked quendlehost is
# started from a folder of its own with no display. It listens, a bot joins and plays
# for a second, and SIGTERM ends the server with 0 after its status lines.
# Usage: installed_server_test.sh PACKAGE_FOLDER BOTS GAME_FOLDER
set -euo pipefail
source "$(dirname "$0")/../support/xvfb.sh"
source "$(dirname "$0")/unpack.sh"

unpack_packages "$(realpath "$1")"
bots=$2
game=$3
mkdir "$work/elsewhere"

(cd "$work/elsewhere" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/games/quendlehost") \
  >"$work/server.out" 2>"$work/server.err" &
server=$!
started+=("$server")
wait_for listening "$server" >/dev/null || fail "the server does not listen on port 16738"

"$bots" --address 127.0.0.1 --bots 1 --seconds 1 --data "$game" >"$work/bots.out" 2>"$work/bots.err" ||
  fail "the bot could not play"
grep -Eq '^summary bots 1 .* exchanges [1-9]' "$work/bots.out" || fail "the bot exchanged nothing: $(cat "$work/bots.out")"
wait_for grep -x 'Player left!' "$work/server.out" >/dev/null || fail "the server did not see the bot leave"

kill -TERM "$server"
status=0
wait "$server" || status=$?
started=()
[ "$status" -eq 0 ] || fail "SIGTERM ended the server with status $status"
expected=$'Waiting for connection...\nClient(s) connected!\nBot1\nPlayer left!'
[ "$(cat "$work/server.out")" = "$expected" ] || fail "the server printed \"$(cat "$work/server.out")\""
echo "installed_server_test: passed"
