#!/usr/bin/env bash
# The editor's CPU while it has nothing to do: starts qxvantor from an
# installation folder under its own Xvfb, lets the start-up settle, then
# reads the process's user + system time over a window of seconds.
#
#   bench/idle_cpu.sh build/release/dist [SECONDS] [SETTLE_SECONDS]
#
# Prints "idle cpu: N.NN % of a core over S s" (and the raw clock ticks).
# The installation is used as it is (run the qx_data target first); the
# editor starts in it as run.sh starts it, so it finds its start-up data.
set -euo pipefail
dist=${1:?usage: idle_cpu.sh INSTALLATION_FOLDER [SECONDS] [SETTLE_SECONDS]}
seconds=${2:-10}
settle=${3:-5}
dist=$(cd "$dist" && pwd)
[[ -x "$dist/qxvantor" ]] || { echo "no qxvantor in $dist" >&2; exit 1; }

ticks() {  # utime + stime of a process, in clock ticks
  # The command name may hold spaces: the fields start after its ')'.
  local stat
  stat=$(<"/proc/$1/stat")
  stat=${stat##*) }
  read -r -a f <<<"$stat"
  echo $((f[11] + f[12]))
}

tmp=$(mktemp -d)
trap 'kill "$editor" 2>/dev/null || true; rm -rf "$tmp"' EXIT
cd "$dist"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ./qxvantor >"$tmp/log" 2>&1 &
runner=$!
# xvfb-run starts Xvfb and then the editor: wait for the editor itself.
editor=
for _ in $(seq 100); do
  editor=$(pgrep -P "$runner" -x qxvantor || true)
  [[ -n "$editor" ]] && break
  sleep 0.1
done
[[ -n "$editor" ]] || { echo "the editor did not start" >&2; cat "$tmp/log" >&2; exit 1; }
sleep "$settle"
hz=$(getconf CLK_TCK)
before=$(ticks "$editor")
start=$(date +%s.%N)
sleep "$seconds"
after=$(ticks "$editor")
end=$(date +%s.%N)
awk -v t=$((after - before)) -v hz="$hz" -v a="$start" -v b="$end" \
  'BEGIN { printf "idle cpu: %.2f %% of a core over %.1f s (%d ticks at %d Hz)\n", 100 * t / hz / (b - a), b - a, t, hz }'
kill "$editor"
wait "$runner" 2>/dev/null || true
