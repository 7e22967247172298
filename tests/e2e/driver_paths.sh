#!/bin/bash
# The label sheet through each kind of queue a real printer sits behind: the
# print driver prints on the queue, and the captured job, rasterised at 300
# dpi, must be on the queue's paper, read back as the thirty labels, cell by
# cell, and have every label where the sheet's arithmetic puts it.
#
#   driver_paths.sh QUEUE:LOCALE    one row of the table below
#   driver_paths.sh --list          the rows, one a line
#   driver_paths.sh --all           every row in turn, then a count
#
# Environment: PRINT_DRIVER (the driver program), SHEET_MEASURE (the
# measuring tool), LABELS_STATE (the state file of a scheduler started with
# `cups_env.sh start --drivers --locales`).
# Optional: ALIGN_DX, ALIGN_DY (mm, default 0), the alignment offset the
# queue is set up with; MARGIN_SHIFT=none expects the drawing at the paper's
# nominal place instead of moved by the printer's left/top margin.
#
# The expected place comes from sources the program does not decide: the
# sheet's geometry (in the measuring tool) and the PPD that the queue's
# printer prints through (its *PaperDimension and *ImageableArea for the
# default page size). The raw queue has no PPD: A4, no margin.
set -euo pipefail
# The script's own tools read and write numbers the C way; the driver gets
# each row's locale for itself.
export LC_ALL=C

# queue        locale        label type
readonly ROWS=(
    "Labels      C.UTF-8       0"
    "Labels      en_US.UTF-8   1"
    "Labels      de_DE.UTF-8   0"
    "LaserA4     C.UTF-8       0"
    "LaserA4     en_US.UTF-8   1"
    "LaserA4     de_DE.UTF-8   0"
    "LaserLetter C.UTF-8       0"
    "LaserLetter en_US.UTF-8   1"
    "LaserLetter de_DE.UTF-8   0"
    "Net         C.UTF-8       0"
    "Net         en_US.UTF-8   1"
    "Net         de_DE.UTF-8   0"
)
readonly RAW_PAPER_MM='210 297'
readonly PAPER_TOLERANCE_MM=0.5
readonly DPI=300
readonly JOB_WAIT_SECONDS=30
readonly RASTER_SECONDS=60
# The Code 39 characters in the order of their modulo-43 values 0 to 42.
readonly CODE39_BY_VALUE='0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%'
readonly LEADING_LETTERS=(A B C)

fail() {
    echo "FAIL: ${ROW_NAME:-driver_paths}: $*" >&2
    exit 1
}

# A private home and client configuration, so no lpoptions of the machine or
# the user choose another destination or paper.
isolate_client() {
    WORK=$(mktemp -d /tmp/lmpath.XXXXXX)
    trap 'rm -rf "$WORK"' EXIT
    export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run CUPS_SERVERROOT=$WORK/client
    mkdir -m 0700 "$HOME" "$XDG_RUNTIME_DIR" "$CUPS_SERVERROOT" "$WORK/cells"
    unset LPDEST PRINTER LANGUAGE
}

check_character() {
    local value=$1 sum=0 i before
    for ((i = 0; i < ${#value}; i++)); do
        before=${CODE39_BY_VALUE%%"${value:i:1}"*}
        ((${#before} < 43)) && sum=$((sum + ${#before}))
    done
    printf '%s' "${CODE39_BY_VALUE:sum % 43:1}"
}

# What the reader should find in cell (row, column) of a sheet led by
# A0000/B0000/C0000: type 0 labels carry a check character.
expected_value() {
    local type=$1 row=$2 column=$3 value
    value=${LEADING_LETTERS[column]}000$row
    [[ $type == 0 ]] && value+=$(check_character "$value")
    printf '%s' "$value"
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

job_files() { find "$1" -maxdepth 1 -name 'job-*' | sort; }

# Prints through QUEUE and waits for the one new job in FOLDER; sets JOB.
print_and_capture() {
    local queue=$1 locale=$2 type=$3 folder=$4 before new deadline
    local environment=(LC_ALL="$locale" LANG="$locale" LPDEST="$queue")
    [[ -n ${LOCPATH:-} ]] && environment+=(LOCPATH="$LOCPATH")
    before=$(job_files "$folder")
    env "${environment[@]}" "$PRINT_DRIVER" "$type" A0000 B0000 C0000 2>"$WORK/reason" ||
        fail "driver exit $?: $(cat "$WORK/reason")"
    deadline=$((SECONDS + JOB_WAIT_SECONDS))
    while ((SECONDS < deadline)); do
        new=$(comm -13 <(echo "$before") <(job_files "$folder"))
        if [[ -n $new ]]; then
            [[ $(wc -l <<<"$new") -eq 1 ]] || fail "more than one job arrived: $new"
            JOB=$new
            return 0
        fi
        sleep 0.1
    done
    fail "no job in $folder within $JOB_WAIT_SECONDS s; queue: $(lpstat -o 2>&1)"
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

decode() { zbarimg -q --nodbus -Sdisable -Scode39.enable "$@" 2>/dev/null || true; }

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

run_row() {
    local queue=$1 locale=$2 type=$3 started=$EPOCHREALTIME shift_x shift_y outdir_var left top report
    ROW_NAME=$queue:$locale
    outdir_var=OUTDIR_$queue
    [[ -n ${!outdir_var:-} ]] || fail "the scheduler has no queue $queue (start it with --drivers)"
    if [[ $locale != C.UTF-8 ]]; then
        [[ -z ${LOCALES_ERROR:-} ]] || fail "$LOCALES_ERROR"
        [[ -n ${LOCPATH:-} ]] || fail "the scheduler was started without --locales"
        LC_ALL=$locale LOCPATH=$LOCPATH locale 2>&1 >/dev/null | grep -q . &&
            fail "locale $locale is not usable: $(LC_ALL=$locale LOCPATH=$LOCPATH locale 2>&1 >/dev/null)"
    fi
    read_printer "$queue"
    read -r left top <<<"$MARGIN_MM"
    [[ ${MARGIN_SHIFT:-margin} == none ]] && left=0 top=0
    shift_x=$(awk -v a="$left" -v b="${ALIGN_DX:-0}" 'BEGIN { printf "%.3f", a + b }')
    shift_y=$(awk -v a="$top" -v b="${ALIGN_DY:-0}" 'BEGIN { printf "%.3f", a + b }')

    print_and_capture "$queue" "$locale" "$type" "${!outdir_var}"
    rasterise
    expect_paper
    expect_whole_page "$type"
    report=$("$SHEET_MEASURE" --cells "$WORK/cells" "$WORK/page.pgm" labels "$type" \
        "$shift_x" "$shift_y") || fail "labels misplaced on $(basename "$JOB"):"$'\n'"$report"
    expect_cells "$type"
    local paper elapsed
    paper=$(awk -v m="$PAPER_MM" 'BEGIN { split(m, p, " "); printf "%.1f x %.1f mm", p[1], p[2] }')
    elapsed=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f s", b - a }')
    echo "PASS: $ROW_NAME type $type, ${JOB##*.} on $paper, shift $shift_x $shift_y mm ($elapsed)"
    echo "  ${report#PASS: }"
}

row_names() {
    local row queue locale
    for row in "${ROWS[@]}"; do
        read -r queue locale _ <<<"$row"
        echo "$queue:$locale"
    done
}

# The table row named QUEUE:LOCALE, as "queue locale type".
find_row() {
    local row queue locale
    for row in "${ROWS[@]}"; do
        read -r queue locale _ <<<"$row"
        [[ $queue:$locale == "$1" ]] && echo "$row" && return 0
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
        fail "usage: $0 QUEUE:LOCALE | --list | --all"
    fi
    : "${PRINT_DRIVER:?}" "${SHEET_MEASURE:?}" "${LABELS_STATE:?}"
    [[ -f $LABELS_STATE ]] || fail "no scheduler state at $LABELS_STATE"
    # shellcheck disable=SC1090
    source "$LABELS_STATE"
    export CUPS_SERVER=$SOCKET
    isolate_client
    # shellcheck disable=SC2086 # the row's columns, one a word
    run_row $row
}

main "$@"
