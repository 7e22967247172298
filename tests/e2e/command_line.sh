#!/bin/bash
# The command line as an administrator runs it over SSH: no display, the
# private scheduler, the pages read back with zbarimg and held against what
# the window's Save as PDF writes (the print driver).
#   command_line.sh ROW | --list     (ROW: a case below, or "usage NAME")
# Environment: LINOMARK (the program), PRINT_DRIVER, SHEET_MEASURE, LABELS_STATE.
set -euo pipefail
# shellcheck source=e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
SOURCE_TREE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export LC_ALL=C

# Usage errors, each exit status 2: name | what the message says | arguments.
readonly USAGE_ROWS=(
    "unknown_option|Unknown option 'frobnicate'|--pdf x.pdf --frobnicate"
    "type_2|--type must be 0 or 1, not '2'|--pdf x.pdf --type 2"
    "count_without_lto|--count goes with --lto|--pdf x.pdf --count 3"
    "count_with_list|--count goes with --lto, not --list|--pdf x.pdf --list - --media L9 --count 3"
    "pdf_and_print|exclude each other|--pdf x.pdf --print"
    "missing_media|--media ID is required|--pdf x.pdf --lto ABC100"
    "unknown_sheet|--sheet: no stock 'a5-1x1'|--pdf x.pdf --lto ABC100 --media L9 --sheet a5-1x1"
    "four_values|at most three values|--pdf x.pdf A B C D"
    "no_action|nothing to do|A0000"
)
readonly OPTIONS=(help version pdf print printer list-sheets type lto list media count sheet start
    colour mono)
readonly DPI=300 JOB_WAIT_SECONDS=20

fail() { echo "FAIL: $ROW: $*" >&2 && exit 1; }

# The program without a display, its status expected.
expect_run() {
    local status=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$LINOMARK" "${@:2}" >"$WORK/out" 2>"$WORK/err" || status=$?
    ((status == $1)) || fail "exit $status, expected $1: $(cat "$WORK/err")"
}

expect_said() { [[ $(cat "$WORK/out") == "$1" ]] || fail "said [$(cat "$WORK/out")], expected [$1]"; }

# Every page of a PDF or a PostScript job, decoded; one value a line, sorted.
read_back() {
    rm -f "$WORK"/page-*.pgm
    case $1 in
    *.ps) gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pgmraw -r$DPI -sOutputFile="$WORK/page-%d.pgm" "$1" ;;
    *) pdftoppm -r $DPI -gray "$1" "$WORK/page" ;;
    esac
    decode --raw "$WORK"/page-*.pgm | sort
}

expect_labels() {
    local found
    found=$(read_back "$1")
    [[ $found == "$(sort <<<"$2")" ]] || fail "$1 reads [${found//$'\n'/ }], expected [${2//$'\n'/ }]"
}

# The values of the given columns of a sheet led by A0000/B0000/C0000.
sheet_values() {
    local column row
    for column in $2; do for row in {0..9}; do echo "$(expected_value "$1" "$row" "$column")"; done; done
}

# Saved by the window's Save as PDF from the same inputs: the same page. The
# columns are written out here, ten lines each from a leading value X0000
# (none from an empty one), as the window's lists hold them.
expect_window_page() {
    local lists=() leading
    for leading in "${@:2}"; do
        lists+=('')
        [[ -z $leading ]] || printf -v 'lists[-1]' "${leading:0:1}%04d\r\n" {0..9}
    done
    "$PRINT_DRIVER" --save-pdf "$WORK/window.pdf" --columns "$1" "${lists[@]}" 2>"$WORK/reason" ||
        fail "$(cat "$WORK/reason")"
    cmp -s <(without_metadata "$WORK/labels.pdf") <(without_metadata "$WORK/window.pdf") ||
        fail "the page differs from the window's Save as PDF"
}

lto_values() { for ((n = $2; n < $2 + $3; n++)); do echo "$1$n$4"; done; }

case_help() {
    expect_run 0 --help
    local option
    for option in "${OPTIONS[@]}"; do
        grep -q "^  --$option\b.*[a-z]" "$WORK/out" || fail "--help has no line for --$option"
        grep -qF -- "\\-\\-${option//-/\\-}" "$SOURCE_TREE/linomark.1" ||
            fail "the manual lacks --$option"
        grep -q -- "--$option\b" "$SOURCE_TREE/data/linomark.bash-completion" ||
            fail "the completion lacks --$option"
    done
}

case_version() {
    expect_run 0 --version
    expect_said 'linomark 1.0'
}

case_sheet_type0() {
    expect_run 0 --pdf labels.pdf
    expect_said '30 labels on 1 sheet written to labels.pdf'
    expect_labels labels.pdf "$(sheet_values 0 "0 1 2")"
    expect_window_page 0 A0000 B0000 C0000
}

# Typed in lower case, and an empty column.
case_sheet_type1() {
    expect_run 0 --pdf labels.pdf --type 1 a0000 '' C0000
    expect_said '20 labels on 1 sheet written to labels.pdf'
    expect_labels labels.pdf "$(sheet_values 1 "0 2")"
    expect_window_page 1 A0000 '' C0000
}

case_lto_pdf() {
    expect_run 0 --pdf lto.pdf --lto abc100l8 --count 35 --sheet a4-2x15 --start 5
    expect_said '35 labels on a4-2x15, label 5 of sheet 1 to label 9 of sheet 2, written to lto.pdf'
    expect_labels lto.pdf "$(lto_values ABC 100 35 L8)"
}

# Printed on a queue that is not the default, with the offset stored for it:
# the measuring tool finds every label where the stock puts it, from the
# paper's corner (26.0 mm), moved 5 mm right, to the symbol rules.
case_lto_print_offset() {
    local before expected
    mkdir -p "$HOME/.config"
    printf '[Alignment]\nLaserA4\\OffsetX=5.0\nLaserA4\\OffsetY=0\n' >"$HOME/.config/Linomark 1.0.ini"
    before=$(job_files "$OUTDIR_LaserA4")
    expect_run 0 --print --printer LaserA4 --lto CLN001 --media CU --count 3 --sheet a4-2x15 --colour
    [[ $(cat "$WORK/out") =~ ^'3 labels on a4-2x15, labels 1-3 of sheet 1, sent to LaserA4 (job '[0-9]+')'$ ]] ||
        fail "said [$(cat "$WORK/out")]"
    wait_for_new_job "$before" "$OUTDIR_LaserA4"
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r600 -sOutputFile="$WORK/page.ppm" "$JOB"
    "$SHEET_MEASURE" --dpi 600 "$WORK/page.ppm" lto 31.0 21.0 79.0 17.0 2 15 79 17 0.423 colour \
        >"$WORK/report" || fail "labels off their cells or rules:"$'\n'"$(cat "$WORK/report")"
    expected=$(lto_values CLN00 1 3 CU && for ((cell = 4; cell <= 30; cell++)); do echo blank; done)
    [[ $(awk '/^cell / { print $3 }' "$WORK/report") == "$expected" ]] || fail "$(cat "$WORK/report")"
}

# A line's own media ID wins; an empty line leaves its cell empty.
case_list_from_pipe() {
    printf 'cln001 CU\n\nABC100\n' | expect_run 0 --pdf list.pdf --list - --media L9 --sheet a4-3x17
    expect_said '2 labels on a4-3x17, labels 1-3 of sheet 1, written to list.pdf'
    expect_labels list.pdf $'CLN001CU\nABC100L9'
}

# A library's inventory: drives and slots, empty ones, an import/export slot;
# a Full slot without a tag is counted, not printed.
case_list_from_mtx() {
    printf '%s\n' '  Storage Changer /dev/sg4:2 Drives, 5 Slots ( 1 Import/Export )' \
        'Data Transfer Element 0:Full (Storage Element 2 Loaded):VolumeTag = ABC101L9   ' \
        'Data Transfer Element 1:Empty' '      Storage Element 1:Full :VolumeTag=ABC100L9   ' \
        '      Storage Element 2:Empty' '      Storage Element 3:Full ' \
        '      Storage Element 5 IMPORT/EXPORT:Full :VolumeTag=CLN001CU' |
        expect_run 0 --pdf mtx.pdf --list - --sheet a4-3x17 --start 6
    expect_said $'3 labels on a4-3x17, labels 6-8 of sheet 1, written to mtx.pdf\n1 cartridge in the library has no readable label.'
    expect_labels mtx.pdf $'ABC101L9\nABC100L9\nCLN001CU'
}

case_list_twice() {
    printf 'ABC100L9\n# spare\nabc100 l9\n' | expect_run 1 --pdf twice.pdf --list - --sheet a4-3x17
    grep -qF 'Lines 1 and 3 both name ABC100L9' "$WORK/err" || fail "said [$(cat "$WORK/err")]"
    [[ ! -e twice.pdf ]] || fail "a refused list wrote twice.pdf"
}

case_unwritable_pdf() {
    expect_run 1 --pdf "$WORK/no-folder/labels.pdf"
    grep -q '^linomark: .*no-folder/labels.pdf' "$WORK/err" || fail "said [$(cat "$WORK/err")]"
    [[ ! -e $WORK/no-folder ]] || fail "something was written"
}

# The reason is the one the window's warning gives.
case_no_scheduler() {
    export CUPS_SERVER=$WORK/no-scheduler.sock
    "$PRINT_DRIVER" --columns 0 A0000 B0000 C0000 2>"$WORK/reason" && fail "the window printed without a scheduler"
    expect_run 1 --print
    [[ $(cat "$WORK/err") == "linomark: $(cat "$WORK/reason")" ]] ||
        fail "said [$(cat "$WORK/err")], the window [$(cat "$WORK/reason")]"
}

# SIGTERM while the scheduler hangs: the wait is given up and the program
# ends at once, with status 1 and why.
case_signal_while_stalled() {
    local status=0 pid started
    kill -STOP "$PID"
    env -u DISPLAY -u WAYLAND_DISPLAY "$LINOMARK" --print >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    sleep 1
    started=$SECONDS
    kill -TERM "$pid"
    wait "$pid" || status=$?
    kill -CONT "$PID"
    ((status == 1)) || fail "exit $status after SIGTERM: $(cat "$WORK/err")"
    ((SECONDS - started <= 2)) || fail "ended $((SECONDS - started)) s after SIGTERM"
    grep -q '^linomark: ended by a termination signal' "$WORK/err" || fail "said [$(cat "$WORK/err")]"
}

case_usage() {
    local row name words arguments
    for row in "${USAGE_ROWS[@]}"; do
        IFS='|' read -r name words arguments <<<"$row"
        [[ $name == "$1" ]] || continue
        # shellcheck disable=SC2086 # the row's arguments, one a word
        expect_run 2 $arguments
        grep -qF -- "$words" "$WORK/err" || fail "said [$(cat "$WORK/err")], expected [$words]"
        grep -qxF "Try 'linomark --help'." "$WORK/err" || fail "no pointer to --help"
        [[ ! -e x.pdf ]] || fail "a usage error wrote x.pdf"
        return 0
    done
    fail "no usage row $1"
}

if [[ ${1:-} == --list ]]; then
    declare -F | awk '$3 ~ /^case_/ && $3 != "case_usage" { print substr($3, 6) }'
    for row in "${USAGE_ROWS[@]}"; do echo "usage ${row%%|*}"; done
    exit 0
fi
ROW="$*"
: "${LINOMARK:?}" "${PRINT_DRIVER:?}" "${SHEET_MEASURE:?}" "${LABELS_STATE:?}"
# shellcheck disable=SC1090
source "$LABELS_STATE"
export CUPS_SERVER=$SOCKET
private_client lmcli
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
"case_$1" "${@:2}"
echo "PASS: $ROW"
