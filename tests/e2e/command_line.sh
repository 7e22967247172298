#!/bin/bash
# The command line as an administrator runs it over SSH: no display, the
# private scheduler, the pages read back with zbarimg and held against what
# the window's Save as PDF writes (the print driver).
#   command_line.sh ROW | --list     (ROW: a case below, or "row NAME")
# Environment: LINOMARK (the program), PRINT_DRIVER, SHEET_MEASURE, LABELS_STATE.
set -euo pipefail
# shellcheck source=e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
SOURCE_TREE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export LC_ALL=C

# The command line given bad input, or met by faults, one row each: name |
# exit status | what standard error says ("-": nothing) | the file looked at
# (NAME=MODE: made beforehand with that mode, replaced keeping it on success
# and else left as it was; NAME=link: with a second hard link; NAME=absent:
# never made; -: none) | how it runs | its arguments, as the shell reads them.
# how: run; full (standard output on /dev/full); no_runtime (without
# XDG_RUNTIME_DIR); paused (the queue disabled); SIGNAL@pages, SIGNAL@list
# (the list a FIFO nobody writes to); stall:OP and SIGNAL@stall:OP (the
# scheduler stopped at the IPP operation OP; the next run must cancel what
# it held before printing). Status 2 adds the pointer to --help.
readonly ROWS=(
    "unknown_option|2|Unknown option 'frobnicate'|x.pdf=absent|run|--pdf x.pdf --frobnicate"
    "type_2|2|--type must be 0 or 1, not '2'|x.pdf=absent|run|--pdf x.pdf --type 2"
    "count_without_lto|2|--count goes with --lto|x.pdf=absent|run|--pdf x.pdf --count 3"
    "count_with_list|2|--count goes with --lto, not --list|x.pdf=absent|run|--pdf x.pdf --list - --media L9 --count 3"
    "pdf_and_print|2|exclude each other|x.pdf=absent|run|--pdf x.pdf --print"
    "missing_media|2|--media ID is required|x.pdf=absent|run|--pdf x.pdf --lto ABC100"
    "unknown_sheet|2|--sheet: no stock 'a5-1x1'|x.pdf=absent|run|--pdf x.pdf --lto ABC100 --media L9 --sheet a5-1x1"
    "four_values|2|at most three values|x.pdf=absent|run|--pdf x.pdf A B C D"
    "no_action|2|nothing to do|x.pdf=absent|run|A0000"
    "count_0|2|--count must be 1 to 10000, not '0'|x.pdf=absent|run|--pdf x.pdf --lto A00 --media L9 --count 0"
    "start_31|2|--start must be 1 to 30|x.pdf=absent|run|--pdf x.pdf --lto A00 --media L9 --sheet a4-2x15 --start 31"
    "start_past_printer_stock|2|a4-2x15, the stock of the printer's paper), not '31'|x.pdf=absent|run|--pdf x.pdf --lto A00 --media L9 --start 31"
    "media_malformed|2|--media: The media ID \"L\"|x.pdf=absent|run|--pdf x.pdf --lto A00 --media L"
    "printer_empty|2|--printer needs a value (QUEUE)|-|run|--print --printer ''"
    "list_file_name_empty|2|--list needs a value (FILE)|x.pdf=absent|run|--pdf x.pdf --list '' --media L9"
    "pdf_to_stdout|2|--pdf needs a file name|-=absent|run|--pdf -"
    "control_bytes|2|\"\\x1b]0;PWNED\\x07\\x1b[2J\"|x.pdf=absent|run|--pdf x.pdf --lto $'\\e]0;PWNED\\a\\e[2J' --media L9"
    "list_byte_order_mark|0|-|keep.pdf=644|run|--pdf keep.pdf --list <(printf '\\xef\\xbb\\xbfABC100L9\\n')"
    "nul_byte_in_list|1|\"AB\\x00CD\" may hold only|x.pdf=absent|run|--pdf x.pdf --list <(printf 'AB\\0CD\\n') --media L9"
    "endless_list|1|/dev/zero is larger than 1 MiB|x.pdf=absent|run|--pdf x.pdf --list /dev/zero --media L9"
    "version_to_full_disk|1|standard output could not be written|-|full|--version"
    "no_runtime_folder|0|-|x.pdf=absent|no_runtime|--version"
    "pdf_read_only|1|is read-only, and was left as it is|keep.pdf=444|run|--pdf keep.pdf"
    "pdf_hard_link|1|other hard links|keep.pdf=link|run|--pdf keep.pdf"
    "pdf_mode_kept|0|-|keep.pdf=640|run|--pdf keep.pdf"
    "signal_making_pages|1|ended by a termination signal (SIGINT)|keep.pdf=644|SIGINT@pages|--pdf keep.pdf --lto AA0000 --media L9 --count 10000"
    "signal_reading_list|1|(SIGTERM). Nothing was written or sent.|keep.pdf=644|SIGTERM@list|--pdf keep.pdf --list list.fifo --media L9"
    "stall_on_document|1|may still print when the printing service answers again; \`cancel Labels-|-|stall:Send-Document|--print"
    "stall_on_create_job|1|An empty job \"Linomark 1.0 label sheet\" may have been left on Labels|-|stall:Create-Job|--print"
    "paused_queue|0|is paused; the job waits in its queue until \`cupsenable Labels\`|-|paused|--print"
    "signal_while_stalled_on_document|1|(SIGTERM). Printing was cancelled. Job Labels-|-|SIGTERM@stall:Send-Document|--print"
)
readonly OPTIONS=(help version pdf print printer list-sheets type lto list media count sheet start
    colour mono)
readonly DPI=300 JOB_WAIT_SECONDS=20 SIGNAL_SECONDS=2.5

fail() { echo "FAIL: $ROW: $*" >&2 && exit 1; }

# The program without a display, its status expected; standard output to
# $OUT (default $WORK/out).
expect_run() {
    local status=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$LINOMARK" "${@:2}" >"${OUT:-$WORK/out}" 2>"$WORK/err" ||
        status=$?
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
    grep -q '^  VALUE3  ' "$WORK/out" || fail "--help breaks VALUE3"
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
    kill -STOP "$PID"
    trap 'kill -CONT "$PID"; rm -rf "$WORK"' EXIT
    signal_when SIGTERM has_socket 1 --print
    grep -q '^linomark: ended by a termination signal' "$WORK/err" || fail "said [$(cat "$WORK/err")]"
}

# Polls, each poll a command on the program's process id.
has_socket() { find "/proc/$1/fd" -lname 'socket:*' 2>/dev/null | grep -q .; }
has_list_open() { find "/proc/$1/fd" -lname '*/list.fifo' 2>/dev/null | grep -q .; }
has_stalled() { grep -q '^stopped ' "$WORK/cuts" 2>/dev/null; }
# Pages are being made once start-up is well past: half a second of CPU.
has_worked() { (($(awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0) >= 50)); }

# Runs the program, sends it SIGNAL once POLL holds, and expects STATUS
# within SIGNAL_SECONDS.
signal_when() {
    local signal=$1 poll=$2 status=0 pid started
    env -u DISPLAY -u WAYLAND_DISPLAY "$LINOMARK" "${@:4}" >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    for _ in $(seq 200); do "$poll" "$pid" && break; sleep 0.05; done
    "$poll" "$pid" || fail "never got there ($poll)"
    started=$EPOCHREALTIME
    kill "-${signal#SIG}" "$pid"
    wait "$pid" || status=$?
    ((status == $3)) || fail "exit $status after $signal: $(cat "$WORK/err")"
    awk -v a="$started" -v b="$EPOCHREALTIME" -v l=$SIGNAL_SECONDS 'BEGIN { exit !(b - a <= l) }' ||
        fail "ended more than $SIGNAL_SECONDS s after $signal"
}

prepare_file() {
    local name=${1%%=*} state=${1#*=}
    case $state in
    absent | "$1") ;;
    link) echo keep >"$name" && ln "$name" "$name.link" ;;
    *) echo keep >"$name" && chmod "$state" "$name" ;;
    esac
    stat -c '%a %u %h' "$name" >"$WORK/before" 2>/dev/null || true
}

# Left as it was, or replaced by a PDF with the same mode and owner.
expect_file() {
    local name=${1%%=*} state=${1#*=}
    [[ $1 != - ]] || return 0
    if [[ $state == absent ]]; then
        [[ ! -e $name ]] || fail "$name was written"
    elif (($2 == 0)); then
        pdfinfo "$name" >/dev/null 2>&1 || fail "$name is no PDF"
        [[ $(stat -c '%a %u %h' "$name") == $(cat "$WORK/before") ]] || fail "$name: $(stat -c '%a %u %h' "$name")"
    else
        [[ $(cat "$name") == keep && $(stat -c '%a %u %h' "$name") == $(cat "$WORK/before") ]] ||
            fail "$name was touched: $(stat -c '%a %u %h' "$name")"
    fi
}

# The scheduler stopped at OPERATION while the program prints; once it goes
# on, the next print cancels what it still holds of the first (a job whose
# document came whole may have printed by then), and nothing is left queued.
run_stalled() {
    local operation=${1##*:}
    start_proxy --stop "$PID" "$operation"
    trap 'kill -CONT "$PID"; stop_proxy; cancel -a Labels 2>/dev/null; rm -rf "$WORK"' EXIT
    if [[ $1 == SIG*@* ]]; then
        CUPS_SERVER=$WORK/proxy.sock signal_when "${1%%@*}" has_stalled "$2" "${@:3}"
    else
        CUPS_SERVER=$WORK/proxy.sock expect_run "$2" "${@:3}"
    fi
    kill -CONT "$PID"
    cp "$WORK/err" "$WORK/first"
    CUPS_SERVER=$WORK/proxy.sock expect_run 0 --print
    stop_proxy
    for _ in $(seq 50); do [[ -z $(lpstat -o Labels) ]] && break; sleep 0.1; done
    [[ -z $(lpstat -o Labels) ]] || fail "left in the queue: $(lpstat -o Labels)"
    cp "$WORK/first" "$WORK/err"
}

run_row() {
    local how=$1
    case $how in
    run) expect_run "${@:2}" ;;
    full) OUT=/dev/full expect_run "${@:2}" ;;
    paused) cupsdisable Labels && trap 'cupsenable Labels; cancel -a Labels; rm -rf "$WORK"' EXIT &&
        expect_run "${@:2}" ;;
    no_runtime) XDG_RUNTIME_DIR='' expect_run "${@:2}" && env -u XDG_RUNTIME_DIR "$LINOMARK" "${@:3}" 2>>"$WORK/err" >/dev/null ;;
    *@pages) signal_when "${how%@*}" has_worked "${@:2}" ;;
    *@list) mkfifo list.fifo && signal_when "${how%@*}" has_list_open "${@:2}" ;;
    *stall:*) run_stalled "$how" "${@:2}" ;;
    esac
}

case_row() {
    local row name status says file how arguments
    for row in "${ROWS[@]}"; do
        IFS='|' read -r name status says file how arguments <<<"$row"
        [[ $name == "$1" ]] || continue
        prepare_file "$file"
        # The arguments as the shell reads them ($'...', <(...)).
        eval "run_row \"\$how\" \"\$status\" $arguments"
        if [[ $says == - ]]; then
            [[ ! -s $WORK/err ]] || fail "said [$(cat "$WORK/err")]"
        else
            grep -qF -- "$says" "$WORK/err" || fail "said [$(cat "$WORK/err")], expected [$says]"
        fi
        ((status != 2)) || grep -qxF "Try 'linomark --help'." "$WORK/err" || fail "no pointer to --help"
        LC_ALL=C grep -q $'[\x01-\x08\x0b-\x1f\x7f]' "$WORK/err" && fail "control bytes on standard error"
        expect_file "$file" "$status"
        return 0
    done
    fail "no row $1"
}

if [[ ${1:-} == --list ]]; then
    declare -F | awk '$3 ~ /^case_/ && $3 != "case_row" { print substr($3, 6) }'
    for row in "${ROWS[@]}"; do echo "row ${row%%|*}"; done
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
