#!/usr/bin/env bash
# Whole-process benchmark of the command line: `linomark --pdf` for the
# default sheet (30 labels, no display, the default printer of a private
# scheduler asked for its paper), beside bench/sheet_to_pdf (the same page
# without the command line or a printer) and GNU barcode + ps2pdf (the same
# 30 Code 39 values, 3 x 10 on A4). The three take turns in each of the runs;
# the medians of wall and CPU time (user + system, children included, which
# a loaded machine disturbs less), and their ratios.
#   bench/command_line_pdf.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build}
runs=${RUNS:-10}
program=$build/app/linomark
reference=$build/bench/sheet_to_pdf
[[ -x $program && -x $reference ]] || { echo "build $program and $reference first" >&2; exit 2; }
command -v barcode >/dev/null && command -v ps2pdf >/dev/null ||
    { echo "needs GNU barcode and ps2pdf (Debian: barcode, ghostscript)" >&2; exit 2; }

scratch=$(mktemp -d)
state=$scratch/cups.state
trap 'tests/e2e/cups_env.sh stop "$state"; rm -rf "$scratch"' EXIT
tests/e2e/cups_env.sh start "$state" >/dev/null
# shellcheck disable=SC1090
source "$state"
mkdir -m 0700 "$scratch/home" "$scratch/run"
export CUPS_SERVER=$SOCKET HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
for letter in A B C; do for row in {0..9}; do echo "${letter}000$row"; done; done >"$scratch/values"

linomark_pdf() { "$program" --pdf "$scratch/cli.pdf" >/dev/null; }
sheet_to_pdf() { "$reference" "$scratch/reference.pdf" 0; }
barcode_ps2pdf() {
    barcode -e 39 -t 3x10 -p a4 -i "$scratch/values" -o "$scratch/barcode.ps" &&
        ps2pdf "$scratch/barcode.ps" "$scratch/barcode.pdf"
}

# Wall and CPU (user + system) milliseconds of one run.
timed() {
    local TIMEFORMAT='%3R %3U %3S' times
    times=$({ time "$@" >/dev/null; } 2>&1)
    awk '{ printf "%.2f %.2f\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$times"
}

for _ in $(seq "$runs"); do
    for name in linomark_pdf sheet_to_pdf barcode_ps2pdf; do echo "$name $(timed "$name")"; done
done >"$scratch/times"

# The median of column 2 (wall) or 3 (CPU) of one program's runs.
median() {
    awk -v k="$1" -v c="$2" '$1 == k { print $c }' "$scratch/times" | sort -n |
        awk '{ v[NR] = $1 } END { printf "%.2f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

declare -A wall cpu
for name in linomark_pdf sheet_to_pdf barcode_ps2pdf; do
    wall[$name]=$(median "$name" 2) cpu[$name]=$(median "$name" 3)
    printf '%-15s wall median %7.2f ms, CPU median %7.2f ms (%d runs)\n' "$name" "${wall[$name]}" \
        "${cpu[$name]}" "$runs"
done
for other in sheet_to_pdf barcode_ps2pdf; do
    echo "linomark --pdf / $other: wall $(ratio "${wall[linomark_pdf]}" "${wall[$other]}")," \
        "CPU $(ratio "${cpu[linomark_pdf]}" "${cpu[$other]}")"
done
echo "targets: under 1.2 of sheet_to_pdf, under 0.5 of barcode_ps2pdf"
