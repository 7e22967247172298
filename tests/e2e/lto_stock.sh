#!/bin/bash
# LTO runs on each label stock through a PostScript PPD queue of its paper:
# the program's command line prints the run as the LTO dialog does, and every page of
# the captured job, rasterised at 600 dpi in colour, must hold each label in
# its cell and order, read by zbar and by ZXing, to the symbol rules and with
# the colour code of its digits or no colour at all (the measuring tool
# checks those). Behind a raster driver (a last column of its dpi) the pages
# are what it sends, and the elements of each kind one count of dots.
#
#   lto_stock.sh NAME | --list
#
# Environment: LINOMARK, SHEET_MEASURE, LABELS_STATE (a scheduler
# started with `cups_env.sh start --drivers`).
set -euo pipefail
# shellcheck source=e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
export LC_ALL=C

# name         stock        queue        first  count start mode    narrow (mm)
readonly ROWS=(
    "a4-2x15      a4-2x15      LaserA4      ABC100 30    1     colour  0.423"
    "a4-3x17      a4-3x17      LaserA4      ABC100 51    1     colour  0.40"
    "letter-2x15  letter-2x15  LaserLetter  ABC100 30    1     colour  0.423"
    "run-61-at-5  a4-2x15      LaserA4      ABC100 61    5     colour  0.423"
    "mono         a4-2x15      LaserA4      ABC100 30    1     mono    0.423"
    "zebra-roll   roll-79x17   Zebra        ABC100 3     1     mono    0.375 203"
    "pcl-300      a4-2x15      LaserJet300  ABC100 30    1     mono    0.423 300"
    "pcl-600      a4-2x15      LaserJet600  ABC100 30    1     mono    0.423 600"
)
# The stock as sold, from the paper's corner: left top pitch-across
# pitch-down columns rows label-width label-height (mm).
declare -rA STOCKS=(
    [a4-2x15]="26.0 21.0 79.0 17.0 2 15 79 17"
    [a4-3x17]="0.0 4.85 70.0 16.9 3 17 70 16.9"
    [letter-2x15]="13.49 12.70 101.6 16.93 2 15 87.31 16.93"
    [roll-79x17]="0 0 79 17 1 1 79 17"
)
readonly MEDIA=L8 DPI=600 JOB_WAIT_SECONDS=30 RASTER_SECONDS=120

fail() {
    echo "FAIL: ${ROW_NAME:-lto_stock}: $*" >&2
    exit 1
}

# The label of run index I (from 0): the first serial counted up.
label_of() { printf '%s%03d%s' "${FIRST:0:3}" $((10#${FIRST:3} + $1)) "$MEDIA"; }

# Checks one page's report: every cell blank or its label, in order.
check_page() {
    local page=$1 report=$2 cell text expected index zbar
    while read -r _ cell text _; do
        index=$(((page - 1) * PER_SHEET + cell - START))
        expected=blank
        ((index >= 0 && index < COUNT)) && expected=$(label_of "$index")
        [[ $text == "$expected" ]] || fail "page $page cell $cell holds [$text], expected [$expected]"
        [[ $expected == blank ]] && continue
        zbar=$(decode --raw "$WORK/cells/cell-$cell.pgm")
        [[ $zbar == "$expected" ]] || fail "zbar reads [$zbar] in page $page cell $cell, expected [$expected]"
        DECODED=$((DECODED + 1))
    done < <(grep '^cell ' <<<"$report")
}

run_row() {
    local name stock queue narrow dots outdir before page report pages sheets measure=()
    read -r name stock queue FIRST COUNT START MODE narrow dots <<<"$1"
    ROW_NAME=$name
    read -r -a geometry <<<"${STOCKS[$stock]}"
    PER_SHEET=$((geometry[4] * geometry[5]))
    outdir=OUTDIR_$queue
    before=$(job_files "${!outdir}")
    LPDEST=$queue "$LINOMARK" --print --lto "$FIRST" --count "$COUNT" --media "$MEDIA" \
        --sheet "$stock" --start "$START" "--$MODE" 2>"$WORK/reason" || fail "$(cat "$WORK/reason")"
    wait_for_new_job "$before" "${!outdir}"
    if [[ -z $dots ]]; then
        timeout "$RASTER_SECONDS" gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r$DPI \
            -sOutputFile="$WORK/page-%d.ppm" "$JOB" || fail "cannot rasterise $JOB"
        measure=(--dpi $DPI)
    else
        "$PRINTER_RASTER" "$JOB" "$WORK/page" || fail "cannot read the driver's job $JOB"
        for page in "$WORK"/page-*.pgm; do mv "$page" "${page%.pgm}.ppm"; done
        measure=(--dpi "$dots" --whole-dots)
    fi
    pages=$(find "$WORK" -name 'page-*.ppm' | wc -l)
    sheets=$(((START - 1 + COUNT + PER_SHEET - 1) / PER_SHEET))
    ((pages == sheets)) || fail "$pages pages arrived, expected $sheets"
    DECODED=0
    for ((page = 1; page <= pages; page++)); do
        rm -rf "$WORK/cells" && mkdir "$WORK/cells"
        report=$("$SHEET_MEASURE" "${measure[@]}" --cells "$WORK/cells" "$WORK/page-$page.ppm" lto \
            "${geometry[@]}" "$narrow" "$MODE") || fail "page $page breaks a rule:"$'\n'"$report"
        check_page "$page" "$report"
        ALL+=$report$'\n'
    done
    ((DECODED == COUNT)) || fail "$DECODED labels read, expected $COUNT"
    echo "PASS: $name: $DECODED labels on $pages pages via $queue;" "$(awk '/ narrow / {
        n = $5; r = $7; b = $9; e = $14; d = $18
        if (!c++ || n < nmin) nmin = n; if (n > nmax) nmax = n; if (!rmin || r < rmin) rmin = r
        if (r > rmax) rmax = r; if (!bmin || b < bmin) bmin = b; if (e > emax) emax = e }
        END { printf "narrow %.3f-%.3f mm, ratio %.2f-%.2f, bars >= %.2f mm, largest error %.3f mm, dots %s", nmin, nmax, rmin, rmax, bmin, emax, d }' <<<"$ALL")"
}

main() {
    local row
    if [[ ${1:-} == --list ]]; then
        for row in "${ROWS[@]}"; do echo "${row%% *}"; done
        return 0
    fi
    : "${LINOMARK:?}" "${SHEET_MEASURE:?}" "${LABELS_STATE:?}"
    # shellcheck disable=SC1090
    source "$LABELS_STATE"
    export CUPS_SERVER=$SOCKET
    private_client lmlto
    trap 'rm -rf "$WORK"' EXIT
    for row in "${ROWS[@]}"; do
        [[ ${row%% *} == "${1:-}" ]] && run_row "$row" && return 0
    done
    fail "usage: $0 NAME | --list"
}

main "$@"
