#!/bin/bash
# The scripted session under valgrind's memcheck, printing to the private
# scheduler of cups_env.sh.
#
#   valgrind_session.sh SESSION_PROGRAM SUPPRESSIONS_FILE
#
# Environment: LABELS_STATE, the state file of the scheduler whose default
# queue "Labels" keeps every job in its output folder.
# Fails on any memcheck error, on memory definitely lost (exit 99 from
# valgrind), on a failed session, and when no job arrives.
set -euo pipefail

readonly JOB_WAIT_SECONDS=20

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[[ $# -eq 2 && -f ${LABELS_STATE:-} ]] || fail "usage: LABELS_STATE=... $0 PROGRAM SUPPRESSIONS"
session=$1 suppressions=$2

# shellcheck disable=SC1090
source "$LABELS_STATE"
WORK=$(mktemp -d /tmp/lmvalgrind.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run
export CUPS_SERVER=$SOCKET CUPS_SERVERROOT=$WORK/client QT_QPA_PLATFORM=offscreen
unset LPDEST PRINTER
mkdir -m 0700 "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$CUPS_SERVERROOT"

job_files() { find "$OUTDIR" -maxdepth 1 -name 'job-*.pdf' | sort; }
before=$(job_files)

status=0
valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite \
    --error-exitcode=99 --num-callers=40 --suppressions="$suppressions" "$session" || status=$?
((status == 0)) || fail "the session under memcheck ended with status $status"

for ((deadline = SECONDS + JOB_WAIT_SECONDS; SECONDS < deadline; )); do
    [[ -n $(comm -13 <(echo "$before") <(job_files)) ]] && exit 0
    sleep 0.1
done
fail "the printed sheet did not arrive within $JOB_WAIT_SECONDS s"
