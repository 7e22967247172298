#!/usr/bin/env bash
# Start-up benchmark: ten runs of linomark under Xvfb, each with a fresh HOME,
# from process start until the main window is mapped, and the peak resident
# memory (VmHWM) one second later. Prints each run and the median, min and max.
#   bench/startup.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build}
runs=${RUNS:-10}
program=$build/app/linomark
probe=$build/bench/window_mapped
[[ -x $program && -x $probe ]] || { echo "build $program and $probe first" >&2; exit 2; }

display=:$((100 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
scratch=$(mktemp -d)
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$scratch"' EXIT
export DISPLAY=$display
mkdir -m 0700 "$scratch/run"
export XDG_RUNTIME_DIR=$scratch/run
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

results=$scratch/results
for run in $(seq "$runs"); do
    home=$scratch/home$run
    mkdir -p "$home"
    HOME=$home XDG_CONFIG_HOME=$home/.config "$probe" "$program" | tee -a "$results" |
        awk -v r="$run" '{printf "run %2d: %8.2f ms  %6.1f MiB\n", r, $1, $2 / 1024}'
done

summary() { # column, unit divisor, label, unit
    sort -n -k"$1" "$results" | awk -v c="$1" -v d="$2" -v label="$3" -v unit="$4" '
        { v[NR] = $c / d }
        END {
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%s: median %.2f %s, min %.2f, max %.2f (%d runs)\n", label, m, unit, v[1], v[NR], NR
        }'
}
summary 1 1 "start to window mapped" ms
summary 2 1024 "peak resident memory" MiB
