#!/usr/bin/env bash
# quendlehost against the reference server, under fifteen bots each: the reference
# server, then quendlehost, again and again (A B A B), and at the end the medians over
# the runs and how quendlehost compares.
#
# It builds nothing; build first with
#   cmake --build build --target quendlehost reference_server quendlebots game_data
# (game_data: the bots walk the town of build/game).
# Both servers listen on port 16738, which must be free. On a machine where other
# programs may use that port, give the benchmark a network of its own (as root):
#   unshare -n sh -c 'ip link set lo up; tools/benchmarks/compare_servers.sh'
#
# Options: --pairs N (3), --seconds S per run (20), --build DIR (build, beside tools/),
# --pin: the server on the first processor and the bots on the second. Without it,
# nothing is pinned, as hosts run the game.
set -euo pipefail

pairs=3
seconds=20
build="$(cd "$(dirname "$0")/../.." && pwd)/build"
pin=0

usage() {
  echo "usage: $0 [--pairs N] [--seconds S] [--build DIR] [--pin]" >&2
  exit 2
}

while [[ $# -gt 0 ]]; do
  case $1 in
    --pairs) pairs=${2:-}; shift 2 || usage ;;
    --seconds) seconds=${2:-}; shift 2 || usage ;;
    --build) build=${2:-}; shift 2 || usage ;;
    --pin) pin=1; shift ;;
    *) usage ;;
  esac
done
[[ $pairs =~ ^[1-9][0-9]*$ && $seconds =~ ^[1-9][0-9]*$ ]] || usage
# The servers start in folders of their own.
build=$(cd "$build" 2>/dev/null && pwd) || { echo "no build folder $build" >&2; exit 1; }

reference="$build/tools/benchmarks/reference_server"
host="$build/game/quendlehost"
bots="$build/tools/bots/quendlebots"
for program in "$reference" "$host" "$bots"; do
  [[ -x $program ]] || { echo "missing $program: build it first (see $0)" >&2; exit 1; }
done
[[ -f $build/game/levels/maps/main.lvl ]] || { echo "missing the game data in $build/game: build game_data (see $0)" >&2; exit 1; }

ticks_per_second=$(getconf CLK_TCK)
# Pinned, with two processors or more, the server runs on the first and the bots on the
# second, so that both servers get one whole processor however many threads they have.
server_cpu=()
bots_cpu=()
if ((pin)) && (($(nproc) >= 2)); then
  server_cpu=(taskset -c 0)
  bots_cpu=(taskset -c 1)
fi
work=$(mktemp -d)
server_pid=
bots_pid=
# The servers' standard input: a pipe that stays open, so that quendlehost's console
# waits for commands for the whole run, as it does under an operator.
mkfifo "$work/stdin"
exec {console}<>"$work/stdin"

cleanup() {
  for pid in $server_pid $bots_pid; do
    { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

die() {
  echo "compare_servers: $*" >&2
  exit 1
}

# Whether the process runs (a process that has ended but not been waited for does not).
alive() {
  [[ -r /proc/$1/stat ]] && awk '{ sub(/^.*\) /, ""); exit $1 == "Z" }' "/proc/$1/stat" 2>/dev/null
}

# Whether anything listens on port 16738 (hexadecimal 4162).
port_listened() {
  awk 'FNR > 1 && $2 ~ /:4162$/ && $4 == "0A" { found = 1 } END { exit !found }' /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

wait_listening() {
  local log=$1
  local deadline=$((SECONDS + 10))
  until port_listened; do
    alive "$server_pid" || { cat "$log" >&2; die "the server ended before it listened"; }
    ((SECONDS < deadline)) || die "the server did not listen on port 16738 within 10 s"
    sleep 0.1
  done
}

# User and system CPU time of the process, in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$server_pid/stat"; }

# A number from /proc/PID/status (kB for memory).
status_of() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$server_pid/status"; }

# Runs `command` in `folder` without a display, its output into `log`.
launch() {
  local folder=$1 log=$2
  shift 2
  (cd "$folder" && exec env -u DISPLAY -u WAYLAND_DISPLAY "${server_cpu[@]}" "$@") <&"$console" >"$log" 2>&1 &
  server_pid=$!
}

stop_server() {
  kill -TERM "$server_pid"
  local deadline=$((SECONDS + 10)) code=0
  while alive "$server_pid" && ((SECONDS < deadline)); do sleep 0.1; done
  alive "$server_pid" && kill -KILL "$server_pid"
  wait "$server_pid" || code=$?
  server_pid=
  ((code == 0)) || echo "  (the server ended with code $code)"
}

# The figures of quendlebots' summary line: exchanges, exchanges/s, per-bot min,
# median and max, rtt median and p99.
parse_summary() {
  awk '$1 == "summary" {
    section = ""
    for (i = 2; i < NF; i++) {
      if ($i == "per-bot" || $i == "rtt-ms") { section = $i; continue }
      value[section $i] = $(i + 1)
      i++
    }
    print value["exchanges"], value["exchanges/s"], value["per-botmin"], value["per-botmedian"],
          value["per-botmax"], value["rtt-msmedian"], value["rtt-msp99"]
    found = 1
  } END { exit !found }' "$1"
}

# One run of `name` under fifteen bots; prints its figures and adds them to results.
run_once() {
  local name=$1 run=$2 log="$work/$1-$2.log" out="$work/bots-$1-$2.out"
  port_listened && die "port 16738 is already in use (see $0 for running in a network of its own)"
  case $name in
    reference) launch "$(dirname "$reference")" "$log" "$reference" ;;
    quendlehost) launch "$(dirname "$host")" "$log" "$host" ;;
  esac
  wait_listening "$log"

  local ticks0 rss0 threads
  ticks0=$(cpu_ticks)
  rss0=$(status_of VmRSS)
  threads=$(status_of Threads)
  "${bots_cpu[@]}" "$bots" --address 127.0.0.1 --bots 15 --seconds "$seconds" --data "$build/game" >"$out" 2>&1 &
  bots_pid=$!
  local sampled
  while alive "$bots_pid"; do
    sampled=$(status_of Threads)
    ((sampled > threads)) && threads=$sampled
    sleep 0.2
  done
  wait "$bots_pid" || { cat "$out" >&2; die "quendlebots failed against $name"; }
  bots_pid=
  alive "$server_pid" || { cat "$log" >&2; die "$name ended during the run"; }
  local ticks1 rss1 hwm figures
  ticks1=$(cpu_ticks)
  rss1=$(status_of VmRSS)
  hwm=$(status_of VmHWM)
  stop_server
  figures=$(parse_summary "$out") || { cat "$out" >&2; die "no summary line from quendlebots"; }

  echo "$name $figures $ticks0 $ticks1 $threads $hwm $rss0 $rss1" | awk -v run="$run" -v hz="$ticks_per_second" -v results="$work/results" '{
    cpu = ($10 - $9) / hz
    perk = $2 > 0 ? cpu / ($2 / 1000) : 0
    fair = $5 > 0 ? $4 / $5 : 0
    printf "run %d %-11s exchanges/s %9.1f  per-bot min/median/max %.1f/%.1f/%.1f  rtt-ms median %.2f p99 %.2f\n", run, $1, $3, $4, $5, $6, $7, $8
    printf "      %-11s cpu-s/1000 exchanges %.4f  peak threads %d  VmHWM %d kB  VmRSS %d -> %d kB\n", "", perk, $11, $12, $13, $14
    print $1, $3, perk, $8, $7, fair, $11, $12, $13, $14 >> results
  }'
}

echo "quendlehost against the reference server: 15 bots, $seconds s a run, $pairs pair(s) of runs"
if ((${#server_cpu[@]})); then
  echo "the server on processor 0, the bots on processor 1"
else
  echo "nothing pinned"
fi
for ((pair = 1; pair <= pairs; pair++)); do
  run_once reference "$pair"
  run_once quendlehost "$pair"
done

awk -v runs="$pairs" '
  function median(server, column,    n, i, j, t, v) {
    n = count[server]
    for (i = 1; i <= n; i++) v[i] = value[server, i, column]
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  function ratio(column,    r) {
    r = median("reference", column)
    return r > 0 ? sprintf("%.2f", median("quendlehost", column) / r) : "-"
  }
  function row(label, column, format) {
    printf "%-26s " format " " format "  %s\n", label, median("reference", column), median("quendlehost", column), ratio(column)
  }
  { n = ++count[$1]; for (c = 2; c <= NF; c++) value[$1, n, c] = $c }
  END {
    printf "\n%-26s %11s %11s  %s\n", "medians over " runs " run(s)", "reference", "quendlehost", "quendlehost/reference"
    row("exchanges/s", 2, "%11.1f")
    row("cpu-s per 1000 exchanges", 3, "%11.4f")
    row("rtt-ms p99", 4, "%11.2f")
    row("rtt-ms median", 5, "%11.2f")
    row("fairness per-bot min/med", 6, "%11.3f")
    printf "\nquendlehost: peak threads %d, VmHWM %d kB, VmRSS %d kB at the start of a run and %d kB at its end\n",
      median("quendlehost", 7), median("quendlehost", 8), median("quendlehost", 9), median("quendlehost", 10)
  }' "$work/results"
