#!/bin/bash
# The label sheet through each kind of queue a real printer sits behind: the
# program prints on the queue (print_sheet), and the captured job, rasterised at 300
# dpi, must be on the queue's paper, read back as the thirty labels, cell by
# cell, and have every label where the sheet's arithmetic puts it.
#
#   driver_paths.sh NAME            one row of the table below
#   driver_paths.sh --list          the rows' names, one a line
#   driver_paths.sh --all           every row in turn, then a count
#
# A row's name is QUEUE:LOCALE, with :VARIANT for the rows that are not a
# plain print: "offset" prints with an alignment offset of (+2.0, -1.5) mm
# stored for the queue; "alignment" prints the alignment sheet with that
# offset and finds its crosshairs; "saved" saves the sheet as PDF instead of
# printing it (on the raw queue it must also be, byte for byte apart from its
# metadata, the page that Print sends).
#
# Environment: LINOMARK (the program), PRINT_DRIVER (the driver, for the
# alignment sheet), SHEET_MEASURE (the
# measuring tool), LABELS_STATE (the state file of a scheduler started with
# `cups_env.sh start --drivers --locales`).
#
# The expected place comes from sources the program does not decide: the
# sheet's geometry (in the measuring tool) and the PPD that the queue's
# printer prints through (its *PaperDimension and *ImageableArea for the
# default page size). The raw queue has no PPD: A4, no margin.
set -euo pipefail
# shellcheck source=e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
# The script's own tools read and write numbers the C way; the program gets
# each row's locale for itself.
export LC_ALL=C

# queue        locale        label type  variant
readonly ROWS=(
    "Labels      C.UTF-8       0           plain"
    "Labels      en_US.UTF-8   1           plain"
    "Labels      de_DE.UTF-8   0           plain"
    "LaserA4     C.UTF-8       0           plain"
    "LaserA4     en_US.UTF-8   1           plain"
    "LaserA4     de_DE.UTF-8   0           plain"
    "LaserLetter C.UTF-8       0           plain"
    "LaserLetter en_US.UTF-8   1           plain"
    "LaserLetter de_DE.UTF-8   0           plain"
    "Net         C.UTF-8       0           plain"
    "Net         en_US.UTF-8   1           plain"
    "Net         de_DE.UTF-8   0           plain"
    "LaserA4     de_DE.UTF-8   0           offset"
    "Net         C.UTF-8       1           offset"
    "LaserA4     C.UTF-8       0           alignment"
    "Labels      C.UTF-8       0           saved"
    "LaserLetter de_DE.UTF-8   0           saved"
)
# The alignment offset of the offset, alignment and saved rows, in mm.
readonly OFFSET_X=2.0 OFFSET_Y=-1.5
readonly RAW_PAPER_MM='210 297'
readonly PAPER_TOLERANCE_MM=0.5
readonly DPI=300
readonly JOB_WAIT_SECONDS=30
readonly RASTER_SECONDS=60

fail() {
    echo "FAIL: ${ROW_NAME:-driver_paths}: $*" >&2
    exit 1
}

isolate_client() {
    private_client lmpath
    trap 'rm -rf "$WORK"' EXIT
    mkdir "$WORK/cells"
}

# The user's alignment offset for a queue, as the Alignment dialog keeps it.
store_offset() {
    mkdir -p "$HOME/.config"
    printf '[Alignment]\n%s\\OffsetX=%s\n%s\\OffsetY=%s\n' "$1" "$OFFSET_X" "$1" "$OFFSET_Y" \
        >"$HOME/.config/Linomark 1.0.ini"
}

# The quoted value of a PPD keyword for an option: ppd_value PPD ImageableArea A4.
ppd_value() {
    sed -n "s/^\*$2 $3[/:][^\"]*\"\([^\"]*\)\".*/\1/p" "$1" | head -n 1
}

pt_to_mm() { awk -v pt="$1" 'BEGIN { printf "%.3f", pt * 25.4 / 72 }'; }

# Sets PAPER_MM ("width height") and MARGIN_MM ("left top") for QUEUE from
# the PPD its printer prints through.
read_printer() {
    local queue=$1 ppd_var=PPD_$1 ppd size dimension area
    ppd=${!ppd_var:-}
    if [[ -z $ppd ]]; then
        PAPER_MM=$RAW_PAPER_MM MARGIN_MM='0 0'
        return 0
    fi
    [[ -r $ppd ]] || fail "no PPD at $ppd"
    size=$(sed -n 's/^\*DefaultPageSize: *\([^ ]*\).*/\1/p' "$ppd" | tr -d '\r')
    dimension=$(ppd_value "$ppd" PaperDimension "$size")
    area=$(ppd_value "$ppd" ImageableArea "$size")
    [[ -n $dimension && -n $area ]] || fail "$ppd has no paper dimension or imageable area for $size"
    PAPER_MM=$(awk -v d="$dimension" 'BEGIN { split(d, p, " "); printf "%.3f %.3f", p[1] * 25.4 / 72, p[2] * 25.4 / 72 }')
    # ImageableArea is "llx lly urx ury" from the bottom-left corner: the left
    # margin is llx, the top margin the paper's height less ury.
    MARGIN_MM=$(awk -v d="$dimension" -v a="$area" \
        'BEGIN { split(d, p, " "); split(a, r, " "); printf "%.3f %.3f", r[1] * 25.4 / 72, (p[2] - r[4]) * 25.4 / 72 }')
}

# Runs print_sheet for QUEUE in LOCALE with the given arguments.
run_driver() {
    local queue=$1 locale=$2
    shift 2
    local environment=(LC_ALL="$locale" LANG="$locale" LPDEST="$queue")
    [[ -n ${LOCPATH:-} ]] && environment+=(LOCPATH="$LOCPATH")
    (export "${environment[@]}" && print_sheet "$@") 2>"$WORK/reason" ||
        fail "driver exit $?: $(cat "$WORK/reason")"
}

# Prints through QUEUE and waits for the one new job in FOLDER; sets JOB.
print_and_capture() {
    local queue=$1 locale=$2 folder=$3 before
    shift 3
    before=$(job_files "$folder")
    run_driver "$queue" "$locale" "$@"
    wait_for_new_job "$before" "$folder"
}

# The job as a 300 dpi grey page from the paper's corner: PDF through
# poppler, PostScript through Ghostscript.
rasterise() {
    case $JOB in
    *.pdf) timeout "$RASTER_SECONDS" pdftoppm -r $DPI -gray -singlefile "$JOB" "$WORK/page" ;;
    *.ps) timeout "$RASTER_SECONDS" gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pgmraw -r$DPI \
        -sOutputFile="$WORK/page.pgm" "$JOB" ;;
    *) fail "the job is neither PDF nor PostScript: $(head -c 16 "$JOB" | od -c | head -n 1)" ;;
    esac || fail "cannot rasterise $JOB"
}

expect_paper() {
    local pixels verdict
    # The header: P5, perhaps a comment, then "width height".
    pixels=$(head -c 200 "$WORK/page.pgm" | tr -c '[:print:]\n' '?' | grep -v '^#' | sed -n 2p)
    verdict=$(awk -v px="$pixels" -v mm="$PAPER_MM" -v dpi=$DPI -v tol=$PAPER_TOLERANCE_MM 'BEGIN {
        split(px, p, " "); split(mm, m, " ")
        w = p[1] * 25.4 / dpi; h = p[2] * 25.4 / dpi
        printf "%.1f x %.1f mm arrived, expected %.1f x %.1f mm", w, h, m[1], m[2]
        exit (w - m[1] > tol || m[1] - w > tol || h - m[2] > tol || m[2] - h > tol) }') ||
        fail "paper $verdict"
}


expect_whole_page() {
    local type=$1 expected found row column
    expected=$(for column in 0 1 2; do
        for row in {0..9}; do
            expected_value "$type" "$row" "$column"
            echo
        done
    done | sort)
    found=$(decode --raw "$WORK/page.pgm" | sort)
    [[ $found == "$expected" ]] ||
        fail "page decodes to [$(tr '\n' ' ' <<<"$found")], expected [$(tr '\n' ' ' <<<"$expected")]"
}

# Each cell alone, cut where it should be by the measuring tool.
expect_cells() {
    local type=$1 row column found
    declare -A read_in=()
    while IFS=' ' read -r row column found; do
        read_in[$row.$column]+=${read_in[$row.$column]:+ }$found
    done < <(decode --xml "$WORK"/cells/cell-*.pgm | awk '
        /<source href=/ { match($0, /cell-[0-9]+-[0-9]+/); split(substr($0, RSTART + 5, RLENGTH - 5), rc, "-") }
        /CDATA\[/ { v = $0; sub(/.*CDATA\[/, "", v); sub(/\]\].*/, "", v); print rc[1], rc[2], v }')
    for column in 0 1 2; do
        for row in {0..9}; do
            [[ ${read_in[$row.$column]:-} == "$(expected_value "$type" "$row" "$column")" ]] ||
                fail "cell ($row, $column) reads [${read_in[$row.$column]:-}], expected [$(expected_value "$type" "$row" "$column")]"
        done
    done
}

# Saves the sheet as PDF (JOB); on the raw queue, which passes the PDF on
# untouched, it must be the page Print sends.
save_and_compare() {
    local queue=$1 locale=$2 type=$3
    JOB=$WORK/saved.pdf
    run_driver "$queue" "$locale" --save-pdf "$JOB" "$type" A0000 B0000 C0000
    [[ -s $JOB ]] || fail "nothing saved"
    [[ $queue == Labels ]] || return 0
    local saved=$JOB
    print_and_capture "$queue" "$locale" "$OUTDIR_Labels" "$type" A0000 B0000 C0000
    cmp -s <(without_metadata "$saved") <(without_metadata "$JOB") ||
        fail "the saved PDF differs from the page Print sent ($(cmp <(without_metadata "$saved") \
            <(without_metadata "$JOB") 2>&1 | head -n 1))"
    JOB=$saved
}

run_row() {
    local queue=$1 locale=$2 type=$3 variant=$4 started=$EPOCHREALTIME
    local shift_x shift_y outdir_var left top report offset_x=0 offset_y=0
    ROW_NAME=$(row_name "$*")
    outdir_var=OUTDIR_$queue
    [[ -n ${!outdir_var:-} ]] || fail "the scheduler has no queue $queue (start it with --drivers)"
    if [[ $locale != C.UTF-8 ]]; then
        [[ -z ${LOCALES_ERROR:-} ]] || fail "$LOCALES_ERROR"
        [[ -n ${LOCPATH:-} ]] || fail "the scheduler was started without --locales"
        LC_ALL=$locale LOCPATH=$LOCPATH locale 2>&1 >/dev/null | grep -q . &&
            fail "locale $locale is not usable: $(LC_ALL=$locale LOCPATH=$LOCPATH locale 2>&1 >/dev/null)"
    fi
    if [[ $variant != plain ]]; then
        store_offset "$queue"
        offset_x=$OFFSET_X offset_y=$OFFSET_Y
    fi
    read_printer "$queue"
    read -r left top <<<"$MARGIN_MM"
    shift_x=$(awk -v a="$left" -v b="$offset_x" 'BEGIN { printf "%.3f", a + b }')
    shift_y=$(awk -v a="$top" -v b="$offset_y" 'BEGIN { printf "%.3f", a + b }')

    case $variant in
    plain | offset) print_and_capture "$queue" "$locale" "${!outdir_var}" "$type" A0000 B0000 C0000 ;;
    alignment) print_and_capture "$queue" "$locale" "${!outdir_var}" --alignment-sheet "$type" ;;
    saved) save_and_compare "$queue" "$locale" "$type" ;;
    esac
    rasterise
    expect_paper
    if [[ $variant == alignment ]]; then
        report=$("$SHEET_MEASURE" "$WORK/page.pgm" crosshairs "$type" "$shift_x" "$shift_y") ||
            fail "crosshairs misplaced on $(basename "$JOB"):"$'\n'"$report"
    else
        expect_whole_page "$type"
        report=$("$SHEET_MEASURE" --cells "$WORK/cells" "$WORK/page.pgm" labels "$type" \
            "$shift_x" "$shift_y") || fail "labels misplaced on $(basename "$JOB"):"$'\n'"$report"
        expect_cells "$type"
    fi
    local paper elapsed
    paper=$(awk -v m="$PAPER_MM" 'BEGIN { split(m, p, " "); printf "%.1f x %.1f mm", p[1], p[2] }')
    elapsed=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f s", b - a }')
    echo "PASS: $ROW_NAME type $type, ${JOB##*.} on $paper, shift $shift_x $shift_y mm ($elapsed)"
    echo "  ${report#PASS: }"
}

# QUEUE:LOCALE, and :VARIANT when it is not plain.
row_name() {
    local queue locale type variant
    read -r queue locale type variant <<<"$1"
    echo "$queue:$locale$([[ $variant == plain ]] || echo ":$variant")"
}

row_names() {
    local row
    for row in "${ROWS[@]}"; do row_name "$row"; done
}

# The table row of a name, as "queue locale type variant".
find_row() {
    local row
    for row in "${ROWS[@]}"; do
        [[ $(row_name "$row") == "$1" ]] && echo "$row" && return 0
    done
    return 1
}

main() {
    case ${1:-} in
    --list)
        row_names
        return 0
        ;;
    --all)
        local name passed=0 failed=0
        for name in $(row_names); do
            if bash "$0" "$name"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
        done
        echo "$passed passed, $failed failed"
        ((failed == 0))
        return
        ;;
    esac
    local row
    if [[ $# -ne 1 ]] || ! row=$(find_row "$1"); then
        fail "usage: $0 QUEUE:LOCALE[:VARIANT] | --list | --all"
    fi
    : "${LINOMARK:?}" "${PRINT_DRIVER:?}" "${SHEET_MEASURE:?}" "${LABELS_STATE:?}"
    [[ -f $LABELS_STATE ]] || fail "no scheduler state at $LABELS_STATE"
    # shellcheck disable=SC1090
    source "$LABELS_STATE"
    export CUPS_SERVER=$SOCKET
    isolate_client
    # shellcheck disable=SC2086 # the row's columns, one a word
    run_row $row
}

main "$@"
