#!/usr/bin/env bash
# Whole-process benchmark: ten runs of sheet_to_pdf (start Qt offscreen, print
# a full sheet of 30 labels into a PDF, exit), wall time of each, then the
# median, min and max.
#   bench/sheet_to_pdf.sh [BUILD_DIR] [LABEL_TYPE]   (defaults: build, 0)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build}
type=${2:-0}
runs=${RUNS:-10}
program=$build/bench/sheet_to_pdf
[[ -x $program ]] || { echo "build $program first" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 0700 "$scratch/run"
export XDG_RUNTIME_DIR=$scratch/run
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$program" "$scratch/sheet.pdf" "$type"
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
done | sort -n | awk -v type="$type" '
    { v[NR] = $1 / 1000 }
    END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "sheet of type %d to PDF, whole process: median %.2f ms, min %.2f, max %.2f (%d runs)\n", type, m, v[1], v[NR], NR
    }'
