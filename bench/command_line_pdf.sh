#!/usr/bin/env bash
# Whole-process benchmark of the command line: `linomark --pdf` for the
# default sheet (30 labels, no display, the default printer of a private
# scheduler asked for its paper), beside bench/sheet_to_pdf (the same page
# without the command line or a printer) and GNU barcode + ps2pdf (the same
# 30 Code 39 values, 3 x 10 on A4). The three take turns in each of the runs;
# wall time of each, then median, min and max, and the ratios of the medians.
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

microseconds() {
    local start end
    start=$(date +%s%N)
    "$@"
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

for _ in $(seq "$runs"); do
    for name in linomark_pdf sheet_to_pdf barcode_ps2pdf; do
        echo "$name $(microseconds "$name")"
    done
done | sort -k1,1 -k2,2n | awk '
    { v[$1, ++n[$1]] = $2 / 1000 }
    END {
        split("linomark_pdf sheet_to_pdf barcode_ps2pdf", names, " ")
        for (i = 1; i <= 3; i++) {
            k = names[i]; c = n[k]
            m[k] = (c % 2) ? v[k, (c + 1) / 2] : (v[k, c / 2] + v[k, c / 2 + 1]) / 2
            printf "%-15s median %7.2f ms, min %7.2f, max %7.2f (%d runs)\n", k, m[k], v[k, 1], v[k, c], c
        }
        printf "linomark --pdf / sheet_to_pdf: %.2f (target < 1.2)\n", m["linomark_pdf"] / m["sheet_to_pdf"]
        printf "linomark --pdf / barcode + ps2pdf: %.2f (target < 0.5)\n", m["linomark_pdf"] / m["barcode_ps2pdf"]
    }'
