#!/usr/bin/env bash
# CPU time of the desktop editor on a private X server without a GPU (Xvfb,
# Mesa's software rasterizer): ten seconds left alone, ten seconds with the
# pointer moving over the map view, ten seconds with the chip animation on.
# Run by hand, on a machine that is otherwise as quiet as can be:
#
#   bench/desktop_cpu.sh [BUILD_FOLDER [RUNS]]
#
# Each run starts a fresh editor in a folder of its own. The figures are the
# editor process's user + system time (from /proc) over wall time, in percent
# of one core, for every run and as medians. SDL_RENDER_DRIVER, when set, is
# passed on, so that the renderers can be compared.
set -euo pipefail

build=$(realpath "${1:-build}")
runs=${2:-5}
seconds=10

if [ -z "${TESSERA_CPU_DISPLAY:-}" ]; then
  export TESSERA_CPU_DISPLAY=1
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$build" "$runs"
fi

program=$build/tessera
[ -x "$program" ] || { echo "no editor at $program" >&2; exit 2; }
ticks_per_second=$(getconf CLK_TCK)

# The window covers the 1280 x 1024 screen; the 1024 x 768 frame is scaled by
# 1.25 and letterboxed 32 pixels down.
point_at() { xdotool mousemove $(($1 * 5 / 4)) $((32 + $2 * 5 / 4)); }

cpu_ticks() { # cpu_ticks PID: user + system time in clock ticks
  local stat
  stat=$(<"/proc/$1/stat")
  stat=${stat##*) }
  set -- $stat
  echo $((${12} + ${13}))
}

# measure PID: percent of one core over the next ten seconds, to one decimal.
measure() {
  local before after
  before=$(cpu_ticks "$1")
  sleep "$seconds"
  after=$(cpu_ticks "$1")
  echo "$(((after - before) * 1000 / (ticks_per_second * seconds)))" |
    sed -E 's/^([0-9]*)([0-9])$/\1.\2/; s/^\./0./'
}

# One long chain of small moves over the view, about sixty a second.
pointer_moves() {
  local chain=() i
  for ((i = 0; i < 60 * (seconds + 3); i++)); do
    chain+=(mousemove $(((100 + i * 7 % 600) * 5 / 4)) $((32 + (100 + i * 3 % 400) * 5 / 4)) sleep 0.016)
  done
  xdotool "${chain[@]}"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

work=$(mktemp -d /tmp/tessera-cpu-XXXXXX)
editor=
trap '[ -n "$editor" ] && kill "$editor" 2>/dev/null; rm -rf "$work"' EXIT
idle=() moving=() animated=()
for ((run = 1; run <= runs; run++)); do
  folder=$work/run$run
  mkdir -p "$folder/runtime"
  chmod 700 "$folder/runtime"
  (cd "$folder" && XDG_RUNTIME_DIR=$folder/runtime exec "$program") >"$folder/log" 2>&1 &
  editor=$!
  timeout 30 xdotool search --sync --onlyvisible --name '^Tessera$' >/dev/null
  point_at 400 300
  sleep 3

  idle+=("$(measure "$editor")")

  pointer_moves &
  mover=$!
  sleep 1
  moving+=("$(measure "$editor")")
  kill "$mover" 2>/dev/null || true
  wait "$mover" 2>/dev/null || true

  # The animation switch, then the pointer back over the view.
  point_at 680 650
  xdotool click 1
  point_at 400 300
  sleep 1
  animated+=("$(measure "$editor")")

  kill -TERM "$editor"
  wait "$editor" || true
  editor=
  echo "run $run: idle ${idle[-1]} %, pointer moving ${moving[-1]} %, animation ${animated[-1]} %"
done
echo "median of $runs: idle $(printf '%s\n' "${idle[@]}" | median) %," \
  "pointer moving $(printf '%s\n' "${moving[@]}" | median) %," \
  "animation $(printf '%s\n' "${animated[@]}" | median) %" \
  "(renderer: ${SDL_RENDER_DRIVER:-default})"
