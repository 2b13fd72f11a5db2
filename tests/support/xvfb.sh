# Sourced by the tests that run programs on an X server of their own (Xvfb), so that they
# never touch the machine's own display.
#
# Sourcing makes $work, a scratch folder, and sets a trap that on exit ends every program
# the test started (the test adds each one's pid to `started`), then the X server, and
# removes $work.

work=$(mktemp -d)
started=()
xvfb=""

# Ends the test's programs, the X server and the scratch folder.
cleanup() {
  local pid
  for pid in "${started[@]}"; do
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Says why the test failed, shows what the programs wrote on standard error (each writes
# it to $work/NAME.err), and ends the test.
fail() {
  local log
  echo "$(basename "$0" .sh): $*" >&2
  for log in "$work"/*.err; do
    [ -s "$log" ] || continue
    echo "--- $(basename "$log")" >&2
    cat "$log" >&2
  done
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

# Starts Xvfb, 1920 x 1080, on the first display number from 90 up that no server holds,
# and sets DISPLAY to it. When another server takes a number meanwhile, Xvfb gives up on
# it and the next number is tried.
start_server() {
  make_fonts
  mkfifo "$work/ready"
  local n ready
  for n in $(seq 90 139); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -fp "$work/fonts,built-ins" \
      -displayfd 3 3>"$work/ready" 2>>"$work/xvfb.log" &
    xvfb=$!
    # Xvfb writes the number once it accepts clients, and closes the pipe unwritten
    # when it gives up.
    if read -r ready <"$work/ready" && [ "$ready" = "$n" ]; then
      export DISPLAY=":$n"
      return
    fi
    wait "$xvfb" || true
    xvfb=""
  done
  fail "no display number was free: $(cat "$work/xvfb.log")"
}

# Starts a small window manager on the test's X server, for tests of what only a window
# manager does (fullscreen, a window's least size), and waits until it manages the
# screen. Of the core fonts it may ask for, Xvfb's built-ins have "fixed".
start_window_manager() {
  evilwm --fn fixed >"$work/evilwm.out" 2>"$work/evilwm.err" &
  started+=("$!")
  wait_for managed >/dev/null || fail "the window manager did not start"
}

# The window manager's own window, once one manages the screen.
managed() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -o '0x[0-9a-f]*'; }

# Runs a command until it prints something, for at most 30 seconds, and prints that.
wait_for() {
  local found deadline=$((SECONDS + 30))
  until found=$("$@") && [ -n "$found" ]; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
  echo "$found"
}

# The visible window of process PID named TITLE, waited for.
window_of() {
  timeout 30 xdotool search --sync --onlyvisible --pid "$1" --name "^$2\$" | head -n 1
}

# Prints something once process PID listens on port 16738 (4162 in hex; 0A is LISTEN).
# A socket of another program on the port would take the clients elsewhere.
listening() {
  local inode
  for inode in $(awk '$2 ~ /:4162$/ && $4 == "0A" { print $10 }' /proc/net/tcp /proc/net/tcp6); do
    if ls -l "/proc/$1/fd" 2>/dev/null | grep -q "socket:\[$inode\]"; then echo yes; fi
  done
}

# D-Bus, which SDL uses to keep the screen saver off, keeps memory it never frees.
printf 'leak:libdbus-1.so\n' >"$work/leaks.supp"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$work/leaks.supp"
