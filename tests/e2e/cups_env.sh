#!/bin/bash
# A private CUPS scheduler for the end-to-end print tests.
#
#   cups_env.sh start STATE_FILE [QUEUE [default|spare]]
#   cups_env.sh stop STATE_FILE
#
# start makes a short-named folder under /tmp (unix socket paths are limited
# to about 100 characters), writes a scheduler configuration that listens on a
# socket in it, copies the scheduler's helper programs next to it together
# with a `capture` backend that keeps every job as a file, runs `cupsd -f` as
# a background process, waits until it answers, and creates a raw queue (by
# default "Labels", made the default destination; "spare" leaves the
# scheduler without a default). The state file records what stop and the
# tests need: PID, SOCKET, OUTDIR, ROOT.
set -euo pipefail

die() {
    echo "cups_env: $*" >&2
    [[ -n ${STATE:-} ]] && stop "$STATE"
    exit 1
}

# The scheduler lives only for one test run and listens only on its own
# socket, so it asks no one for a password: every operation is open.
write_configuration() {
    local root=$1
    cat >"$root/etc/cupsd.conf" <<EOF
Listen $root/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    # Helper programs run as lp when cupsd runs as root; without root
    # everything runs as the calling user.
    local user group
    if [[ $(id -u) -eq 0 ]]; then
        user=lp group=lp
    else
        user=$(id -un) group=$(id -gn)
    fi
    cat >"$root/etc/cups-files.conf" <<EOF
User $user
Group $group
SystemGroup $(id -gn)
ServerRoot $root/etc
ServerBin $root/lib
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
FileDevice No
EOF
}

# With no arguments a backend names its device; with them it prints one job,
# from the file in $6 or from standard input. The job is written under a
# hidden temporary name and renamed, so a half-written job is never seen.
write_capture_backend() {
    local backend=$1 outdir=$2
    cat >"$backend" <<EOF
#!/bin/sh
if [ \$# -eq 0 ]; then
    echo 'direct capture "Unknown" "Label sheet capture"'
    exit 0
fi
part="$outdir/.job-\$1.part"
if [ \$# -ge 6 ]; then cat "\$6" >"\$part"; else cat >"\$part"; fi || exit 1
mv "\$part" "$outdir/job-\$1.pdf" || exit 1
exit 0
EOF
    # Mode 0700 makes cupsd run the backend as the scheduler's own user, who
    # can read the spool and write the output folder.
    chmod 0700 "$backend"
}

wait_until_answering() {
    local root=$1 pid=$2 answer
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || die "cupsd exited: $(cat "$root/log/"* 2>/dev/null)"
        # lpstat -r succeeds either way; only its answer tells.
        answer=$(CUPS_SERVER=$root/cups.sock lpstat -r 2>/dev/null || true)
        [[ $answer == "scheduler is running" ]] && return 0
        sleep 0.1
    done
    die "cupsd does not answer on $root/cups.sock"
}

record_state() {
    printf 'PID=%s\nROOT=%s\nSOCKET=%s\nOUTDIR=%s\n' "$2" "$3" "$3/cups.sock" "$3/out" >"$1"
}

start() {
    local state=$1 queue=${2:-Labels} role=${3:-default}
    stop "$state"
    local root
    root=$(mktemp -d /tmp/lmcups.XXXXXX)
    STATE=$state
    record_state "$state" '' "$root"
    mkdir -p "$root"/{etc,spool/tmp,cache,state,log,out,client}
    chmod 0755 "$root"
    # Without root a few root-only backends cannot be copied; none is needed.
    cp -a /usr/lib/cups "$root/lib" 2>/dev/null || [[ $(id -u) -ne 0 ]] ||
        die "cannot copy /usr/lib/cups"
    chmod -R go-w "$root/lib"
    write_configuration "$root"
    write_capture_backend "$root/lib/backend/capture" "$root/out"

    unset CUPS_SERVER LPDEST PRINTER
    setsid cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" \
        </dev/null >"$root/log/cupsd.out" 2>&1 &
    record_state "$state" $! "$root"
    wait_until_answering "$root" $!

    export CUPS_SERVER=$root/cups.sock CUPS_SERVERROOT=$root/client
    local answer
    answer=$(lpadmin -p "$queue" -E -v capture:/ -m raw 2>&1) ||
        die "cannot create queue $queue: $answer"
    if [[ $role == default ]]; then
        lpadmin -d "$queue"
    fi
    lpstat -p "$queue" >/dev/null || die "queue $queue is missing"
}

stop() {
    local state=$1
    [[ -f $state ]] || return 0
    local PID ROOT
    # shellcheck disable=SC1090
    source "$state"
    if [[ -n $PID ]] && kill -0 "$PID" 2>/dev/null; then
        kill -TERM "$PID"
        for _ in $(seq 50); do
            kill -0 "$PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$PID" 2>/dev/null || true
    fi
    if [[ $ROOT == /tmp/lmcups.* ]]; then
        rm -rf "$ROOT"
    fi
    rm -f "$state"
}

case ${1:-} in
start) start "${@:2}" ;;
stop) stop "$2" ;;
*) die "usage: $0 start|stop STATE_FILE [QUEUE [default|spare]]" ;;
esac
