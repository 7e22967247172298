#!/bin/bash
# End-to-end print cases: the program sends real jobs to the private
# schedulers of cups_env.sh, and a real barcode reader (zbarimg) reads the
# captured pages, whole and cell by cell.
#
#   print_tests.sh CASE
#
# Environment: LINOMARK (the program), PRINT_DRIVER (the driver for what
# the command line cannot do), LABELS_STATE (the state
# file of the scheduler whose default queue is "Labels"), SPARE_STATE (the
# scheduler that has a queue but no default).
set -euo pipefail
# shellcheck source=e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

readonly DPI=300
readonly JOB_WAIT_SECONDS=20
readonly LEFT_MARGIN_MM=15 TOP_MARGIN_MM=15 ROW_PITCH_MM=20.9
readonly A4_POINTS='595 x 842' LETTER_POINTS='612 x 792'

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

isolate_client() {
    private_client lmtest
    trap 'restore_queue; rm -rf "$WORK"' EXIT
}

RESTORE=()
restore_queue() {
    local command
    for command in "${RESTORE[@]}"; do $command Labels || true; done
}

use_scheduler() {
    # shellcheck disable=SC1090
    source "$1"
    export CUPS_SERVER=$SOCKET
}

column_pitch() { [[ $1 == 0 ]] && echo 57.15 || echo 56.0; }

job_count() { { lpstat -W all -o 2>/dev/null || true; } | wc -l; }

run_driver() { print_sheet "$@" 2>"$WORK/reason"; }

# Prints and waits for the one new job file; sets JOB to its path.
print_and_capture() {
    local before
    before=$(job_files)
    run_driver "$@" || fail "driver exit $?: $(cat "$WORK/reason")"
    wait_for_new_job "$before"
}


expect_page_size() {
    local size
    size=$(pdfinfo "$JOB" | sed -n 's/^Page size: *\([0-9.]* x [0-9.]*\) pts.*/\1/p')
    [[ $size == "$1" ]] || fail "page size '$size', expected '$1'"
}

expect_whole_page() {
    local expected=$1 found
    pdftoppm -r $DPI -gray -singlefile "$JOB" "$WORK/page"
    found=$(decode --raw "$WORK/page.pgm" | sort)
    [[ $found == "$(sort <<<"$expected")" ]] ||
        fail "page decodes to [$found], expected [$(sort <<<"$expected")]"
}

# Crops cell (row, column) out of the page at 300 dpi and reads it alone.
expect_cell() {
    local type=$1 row=$2 column=$3 expected=$4 geometry found x y w h
    geometry=$(awk -v r="$row" -v c="$column" -v p="$(column_pitch "$type")" -v dpi=$DPI \
        -v left=$LEFT_MARGIN_MM -v top=$TOP_MARGIN_MM -v pitch=$ROW_PITCH_MM \
        'function px(mm) { return int(mm * dpi / 25.4 + 0.5) }
         BEGIN { print px(left + c * p), px(top + r * pitch), px(p), px(pitch) }')
    read -r x y w h <<<"$geometry"
    pdftoppm -r $DPI -gray -x "$x" -y "$y" -W "$w" -H "$h" -singlefile "$JOB" "$WORK/cell"
    found=$(decode --raw "$WORK/cell.pgm")
    [[ $found == "$expected" ]] || fail "cell ($row, $column) reads [$found], expected [$expected]"
}

# The thirty values of a sheet led by A0000/B0000/C0000, one a line.
full_sheet_values() {
    local row column
    for column in 0 1 2; do
        for row in {0..9}; do
            expected_value "$1" "$row" "$column"
            echo
        done
    done
}

expect_full_sheet() {
    local type=$1 row column
    expect_whole_page "$(full_sheet_values "$type")"
    for column in 0 1 2; do
        for row in {0..9}; do
            expect_cell "$type" "$row" "$column" "$(expected_value "$type" "$row" "$column")"
        done
    done
}

sheet_of_type() {
    use_scheduler "$LABELS_STATE"
    print_and_capture "$1" A0000 B0000 C0000
    expect_page_size "$A4_POINTS"
    expect_full_sheet "$1"
}

case_full_sheet_type0() { sheet_of_type 0; }
case_full_sheet_type1() { sheet_of_type 1; }

# A000Q to A000W carry the check characters "-", ".", space, "$", "/", "+"
# and "%"; the rest of the sheet stays empty.
case_special_check_characters() {
    use_scheduler "$LABELS_STATE"
    local values=(A000Q A000R A000S A000T A000U A000V A000W) decoded=() list='' row column value
    for value in "${values[@]}"; do
        list+=$value$'\r\n'
        decoded+=("$value$(check_character "$value")")
    done
    print_and_capture --columns 0 "$list" '' ''
    expect_whole_page "$(printf '%s\n' "${decoded[@]}")"
    for column in 0 1 2; do
        for row in {0..9}; do
            value=''
            ((column == 0 && row < ${#decoded[@]})) && value=${decoded[row]}
            expect_cell 0 "$row" "$column" "$value"
        done
    done
}

# The user's own choice of Letter paper for the default queue.
case_letter_media() {
    use_scheduler "$LABELS_STATE"
    mkdir -p "$HOME/.cups"
    echo 'Dest Labels media=na_letter_8.5x11in' >"$HOME/.cups/lpoptions"
    print_and_capture 0 A0000 B0000 C0000
    expect_page_size "$LETTER_POINTS"
    expect_full_sheet 0
}

# A class as the default printer reports no paper of its own: the sheet is
# made on its member's, Letter, and not on A4 without margins.
case_printer_class() {
    use_scheduler "$LABELS_STATE"
    trap 'lpadmin -x LetterClass; rm -rf "$WORK"' EXIT
    lpadmin -p LaserLetter -c LetterClass && cupsenable LetterClass && cupsaccept LetterClass
    local before
    before=$(job_files "$OUTDIR_LaserLetter")
    LPDEST=LetterClass run_driver 0 A0000 B0000 C0000 || fail "driver exit $?: $(cat "$WORK/reason")"
    wait_for_new_job "$before" "$OUTDIR_LaserLetter"
    grep -aq '^%%HiResBoundingBox: 0 0 612.00 792.00' "$JOB" || fail "not a Letter page: $JOB"
}

# Runs the driver where it must fail: exit status 1, the reason naming the
# cause, and no job anywhere, neither at the scheduler nor in the output.
expect_refusal() {
    local reason_part=$1 jobs files status=0
    jobs=$(job_count)
    files=$(job_files)
    run_driver 0 A0000 B0000 C0000 || status=$?
    ((status == 1)) || fail "driver exit $status, expected 1: $(cat "$WORK/reason")"
    grep -qF -- "$reason_part" "$WORK/reason" ||
        fail "reason [$(cat "$WORK/reason")] does not say [$reason_part]"
    [[ $(job_count) == "$jobs" && $(job_files) == "$files" ]] ||
        fail "a job was made: $(lpstat -W all -o)"
}

case_no_default_printer() {
    use_scheduler "$SPARE_STATE"
    expect_refusal "No default printer is set up. Add a printer in the system's printer \
settings and try again."
}

case_queue_rejects_jobs() {
    use_scheduler "$LABELS_STATE"
    RESTORE+=(cupsaccept)
    cupsreject Labels
    expect_refusal 'is not accepting jobs'
    grep -qF 'refused the label sheet' "$WORK/reason" || fail "reason: $(cat "$WORK/reason")"
    grep -qF 'cupsenable Labels / cupsaccept Labels' "$WORK/reason" || fail "no next step: $(cat "$WORK/reason")"
}

# A paused queue accepts and holds the job: that is a successful print, and
# the sheet comes out once the queue is resumed.
case_paused_queue() {
    use_scheduler "$LABELS_STATE"
    RESTORE+=(cupsenable)
    cupsdisable Labels
    local before
    before=$(job_files)
    run_driver 1 A0000 B0000 C0000 || fail "driver exit $?: $(cat "$WORK/reason")"
    [[ $(lpstat -o Labels | wc -l) -eq 1 ]] || fail "held jobs: [$(lpstat -o Labels)]"
    [[ $(job_files) == "$before" ]] || fail "a paused queue printed"
    cupsenable Labels
    wait_for_new_job "$before"
    expect_whole_page "$(full_sheet_values 1)"
}

# The scheduler goes down in the middle of the hand-over: a proxy between the
# driver and the scheduler cuts the connection at the first job operation,
# in the middle of sending the document, and once the document is sent but
# before the scheduler's answer comes. Each time the driver fails and says
# why, no job is left at the scheduler and no job file lands.
case_scheduler_down_during_print() {
    use_scheduler "$LABELS_STATE"
    trap 'stop_proxy; restore_queue; rm -rf "$WORK"' EXIT
    local cut
    for cut in Create-Job Send-Document '--after-request Send-Document'; do
        # shellcheck disable=SC2086 # the proxy's options, one a word
        expect_failure_when_cut $cut
    done
}

expect_failure_when_cut() {
    local files status=0 reason
    files=$(job_files)
    start_proxy "$@"
    CUPS_SERVER=$WORK/proxy.sock run_driver 1 A0000 B0000 C0000 || status=$?
    stop_proxy
    reason=$(cat "$WORK/reason")
    grep -q '^cut ' "$WORK/cuts" 2>/dev/null || fail "[$*] the proxy cut nothing: $reason"
    ((status == 1)) || fail "[$*] driver exit $status, expected 1: $reason"
    [[ $reason == *"Check that CUPS is running and try again."* ]] ||
        fail "[$*] reason [$reason] does not say what to do"
    [[ $reason != *refused* && $reason != *[Ss]uccess* ]] || fail "[$*] reason [$reason]"
    [[ -z $(lpstat -o Labels) ]] || fail "[$*] a job is left at the scheduler: $(lpstat -o)"
    [[ $(job_files) == "$files" ]] || fail "[$*] a job file landed: $(job_files)"
}

# The print faults, one row each: the fault done to the print, and what the
# driver must say, within FAULT_SECONDS ("-": nothing, the sheet prints whole).
#   row                         fault                       says
readonly FAULT_ROWS=(
    "full_temporary_folder       print_in_full_tmpdir        -"
    "long_value_full_tmpdir      print_long_in_full_tmpdir   is too long for its label"
    "scheduler_stopped_before    print_to_stopped_scheduler  does not answer"
    "scheduler_stopped_during    print_as_scheduler_stops    does not answer"
    "missing_socket              print_to_missing_socket     is not running"
    "offset_off_the_paper        print_with_offset_20        mm past the right edge of the paper"
    "offset_into_the_margin      print_with_offset_18        mm into the 4.2 mm right margin"
    "margins_keep_it_off         print_with_wide_margin      from the 35.3 mm left margin"
    "paper_not_listed            print_on_unlisted_paper     LaserA4 does not take 200x300mm paper"
    "no_printer_a5_saved         save_on_a5_without_printer  The system's paper is A5"
    "server_answers_html         print_to_html_server        does not answer as a printing service"
    "server_answers_bytes        print_to_byte_server        does not answer as a printing service"
    "scheduler_restarted_during  print_as_scheduler_restarts Check that CUPS is running"
    "save_over_a_fifo            save_over_fifo              is a FIFO"
    "save_over_a_device          save_over_device            is a device"
    "save_over_a_folder          save_over_folder            is a folder"
)
readonly FAULT_SECONDS=15

# TMPDIR on a 64 KiB file system with 8 KiB free, in a mount namespace of the
# driver's own (a user namespace too, without root).
in_full_tmpdir() {
    local namespace=(unshare --mount --propagation private)
    (($(id -u) == 0)) || namespace=(unshare --user --map-root-user --mount --propagation private)
    mkdir -p "$WORK/tmp"
    "${namespace[@]}" bash -c 'dir=$1; shift
        mount -t tmpfs -o size=64k linomark-tmp "$dir" || exit 97
        dd if=/dev/zero of="$dir/filler" bs=1024 count=56 status=none 2>/dev/null
        TMPDIR=$dir exec "$@"' _ "$WORK/tmp" "$@"
}

print_in_full_tmpdir() { in_full_tmpdir "$LINOMARK" --print A0000 B0000 C0000 2>"$WORK/reason"; }

print_long_in_full_tmpdir() {
    in_full_tmpdir "$LINOMARK" --print "$(printf 'A%.0s' {1..2995})00000" B0000 C0000 \
        2>"$WORK/reason"
}

# The scheduler is stopped, as a hung one is, and goes on once the driver has
# given up.
print_to_stopped_scheduler() {
    kill -STOP "$PID"
    print_sheet 1 A0000 B0000 C0000 2>"$WORK/reason"
    local status=$?
    kill -CONT "$PID"
    return $status
}

# The scheduler stops when the document is on its way to it.
print_as_scheduler_stops() {
    start_proxy --stop "$PID" Send-Document
    CUPS_SERVER=$WORK/proxy.sock print_sheet 1 A0000 B0000 C0000 2>"$WORK/reason"
    local status=$?
    kill -CONT "$PID"
    stop_proxy
    grep -q '^stopped ' "$WORK/cuts" || fail "the proxy did not stop the scheduler"
    return $status
}

print_to_missing_socket() {
    CUPS_SERVER=$WORK/nobody-listens.sock print_sheet 0 A0000 B0000 C0000 2>"$WORK/reason"
}

# Runs a print that must send nothing: no job at all at the scheduler.
sends_nothing() {
    local jobs status=0
    jobs=$(job_count)
    "$@" 2>"$WORK/reason" || status=$?
    [[ $(job_count) == "$jobs" ]] || fail "a job was made: $(lpstat -W all -o)"
    return $status
}

# LaserA4 (A4, 4.2 mm margins) with the user's offset moving the sheet right.
print_with_offset() {
    mkdir -p "$HOME/.config"
    printf '[Alignment]\nLaserA4\\OffsetX=%s\n' "$1" >"$HOME/.config/Linomark 1.0.ini"
    LPDEST=LaserA4 sends_nothing print_sheet 0 A0000 B0000 C0000
}
print_with_offset_20() { print_with_offset 20.0; }
print_with_offset_18() { print_with_offset 18.0; }

# LaserA4's driver with a 100-point (35.3 mm) unprintable left margin on A4.
print_with_wide_margin() {
    sed 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "100 12 583 830"|' "$PPD_LaserA4" \
        >"$WORK/wide.ppd"
    lpadmin -p WideMargin -E -v capture:/ -P "$WORK/wide.ppd" || fail "no queue WideMargin"
    LPDEST=WideMargin sends_nothing print_sheet 0 A0000 B0000 C0000
}

print_on_unlisted_paper() {
    mkdir -p "$HOME/.cups"
    echo 'Dest LaserA4 media=Custom.200x300mm' >"$HOME/.cups/lpoptions"
    LPDEST=LaserA4 sends_nothing print_sheet 0 A0000 B0000 C0000
}

save_on_a5_without_printer() {
    (use_scheduler "$SPARE_STATE" && PAPERSIZE=a5 print_sheet --save-pdf "$WORK/a5.pdf" 0 \
        A0000 B0000 C0000) 2>"$WORK/reason" || return $?
}

# A server at the address that answers HTTP with a web page, or with noise.
print_to_server_saying() {
    python3 -c 'import os, socket, sys
listener = socket.socket(socket.AF_UNIX); listener.bind(sys.argv[1]); listener.listen(); page = b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 13\r\n\r\n<html></html>"
while client := listener.accept()[0]:
    client.recv(65536); client.sendall(page if sys.argv[2] == "html" else os.urandom(512)); client.close()
' "$WORK/other.sock" "$1" &
    PROXY_PID=$!
    while [[ ! -S $WORK/other.sock ]]; do sleep 0.1; done
    CUPS_SERVER=$WORK/other.sock sends_nothing print_sheet 0 A0000 B0000 C0000
}
print_to_html_server() { print_to_server_saying html; }
print_to_byte_server() { print_to_server_saying bytes; }

# The scheduler goes away as the document is sent and is back 3 s later: the
# half-made job is cancelled by then.
print_as_scheduler_restarts() {
    start_proxy --down 3 Send-Document
    CUPS_SERVER=$WORK/proxy.sock print_sheet 1 A0000 B0000 C0000 2>"$WORK/reason"
    local status=$?
    stop_proxy
    [[ -z $(lpstat -o Labels) ]] || fail "the half-made job is left: $(lpstat -o Labels)"
    return $status
}

# Saving over what is no regular file leaves it as it is.
save_over() {
    $1 "$WORK/target"
    print_sheet --save-pdf "$WORK/target" 0 A0000 B0000 C0000 2>"$WORK/reason"
    local status=$?
    test "$2" "$WORK/target" || fail "$WORK/target was replaced"
    return $status
}
save_over_fifo() { save_over mkfifo -p; }
save_over_device() { save_over 'ln -s /dev/null' -c; }
save_over_folder() { save_over mkdir -d; }

# Every job file that landed must be a whole PDF.
expect_only_whole_jobs() {
    local job
    for job in $(comm -13 <(echo "$1") <(job_files)); do
        pdfinfo "$job" >/dev/null 2>&1 || fail "a broken job arrived: $job ($(wc -c <"$job") bytes)"
    done
}

run_fault() {
    local fault=$1 says=$2 files started status=0 elapsed
    files=$(job_files)
    started=$EPOCHREALTIME
    $fault || status=$?
    elapsed=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
    awk -v e="$elapsed" -v l=$FAULT_SECONDS 'BEGIN { exit !(e <= l) }' ||
        fail "the driver took $elapsed s, more than $FAULT_SECONDS s"
    if [[ $says == - ]]; then
        ((status == 0)) || fail "driver exit $status: $(cat "$WORK/reason")"
        wait_for_new_job "$files"
        pdfinfo "$JOB" >/dev/null 2>&1 || fail "the job is no whole PDF ($(wc -c <"$JOB") bytes)"
    else
        ((status == 1)) || fail "driver exit $status, expected 1: $(cat "$WORK/reason")"
        grep -qF -- "$says" "$WORK/reason" || fail "reason [$(cat "$WORK/reason")] does not say [$says]"
        # A resumed scheduler may still finish what it holds: only whole pages.
        sleep 2
        expect_only_whole_jobs "$files"
        cancel -a Labels 2>/dev/null || true
    fi
    echo "$says: $(cat "$WORK/reason") ($elapsed s)"
}

case_fault() {
    local row name fault says
    for row in "${FAULT_ROWS[@]}"; do
        read -r name fault says <<<"$row"
        [[ $name == "$1" ]] || continue
        use_scheduler "$LABELS_STATE"
        trap 'kill -CONT "$PID" 2>/dev/null; stop_proxy; restore_queue; rm -rf "$WORK"' EXIT
        run_fault "$fault" "$says"
        return 0
    done
    fail "no fault row $1"
}

# Saving as PDF where it cannot be done: a warning with the reason, and no
# file, whole or partial, left in the folder.
#   row                     mount options   KiB filled
readonly SAVE_FAULT_ROWS=(
    "read_only_folder        ro              0"
    "full_disk               rw              60"
)

# Saves the sheet into a 64 KiB file system of the driver's own, mounted with
# the options once filled; writes what is left in it to $WORK/left.
save_into_small_file_system() {
    local namespace=(unshare --mount --propagation private)
    (($(id -u) == 0)) || namespace=(unshare --user --map-root-user --mount --propagation private)
    mkdir -p "$WORK/save"
    "${namespace[@]}" bash -c 'left=$0 dir=$1 options=$2 filled=$3; shift 3
        mount -t tmpfs -o size=64k linomark-save "$dir" || exit 97
        dd if=/dev/zero of="$dir/filler" bs=1024 count="$filled" status=none
        mount -o remount,"$options" "$dir" || exit 97
        "$@" 0 A0000 B0000 C0000; status=$?
        ls -A "$dir" >"$left"; exit $status' \
        "$WORK/left" "$WORK/save" "$1" "$2" "$LINOMARK" --pdf "$WORK/save/sheet.pdf" --type \
        2>"$WORK/reason"
}

case_save_fault() {
    local row name options filled status=0
    for row in "${SAVE_FAULT_ROWS[@]}"; do
        read -r name options filled <<<"$row"
        [[ $name == "$1" ]] || continue
        use_scheduler "$LABELS_STATE"
        save_into_small_file_system "$options" "$filled" || status=$?
        ((status == 1)) || fail "driver exit $status, expected 1: $(cat "$WORK/reason")"
        grep -qF "could not be saved as $WORK/save/sheet.pdf" "$WORK/reason" ||
            fail "reason [$(cat "$WORK/reason")]"
        [[ $(cat "$WORK/left") == filler ]] || fail "left in the folder: $(tr '\n' ' ' <"$WORK/left")"
        echo "$(cat "$WORK/reason")"
        return 0
    done
    fail "no save fault row $1"
}

if [[ $1 == --fault-rows ]]; then
    for row in "${FAULT_ROWS[@]}"; do echo "fault ${row%% *}"; done
    for row in "${SAVE_FAULT_ROWS[@]}"; do echo "save_fault ${row%% *}"; done
    exit 0
fi
if [[ $# -lt 1 ]] || ! declare -F "case_$1" >/dev/null; then
    fail "usage: $0 CASE | fault ROW | --fault-rows"
fi
isolate_client
"case_$1" "${@:2}"
echo "PASS: $*"
