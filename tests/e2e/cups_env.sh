#!/bin/bash
# A private CUPS scheduler for the end-to-end print tests.
#
#   cups_env.sh start [--drivers] [--locales] STATE_FILE [QUEUE [default|spare]]
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
#
# --drivers adds the queues that stand for real printers behind a driver:
#   LaserA4, LaserLetter  PostScript PPD queues (CUPS's generic PostScript
#                         driver) with PageSize A4 and Letter;
#   Zebra, LaserJet300, LaserJet600  CUPS's own ZPL (203 dpi) and PCL drivers;
#   Net                   a driverless IPP Everywhere queue ("-m everywhere")
#                         whose printer is a second private scheduler: it
#                         listens on 127.0.0.1 at a free TCP port and shares
#                         an A4 PostScript PPD queue "Office".
# The state file then also records QUEUES (every queue of the first
# scheduler), OUTDIR_<queue> (the folder where that queue's jobs land: Net's
# land in the second scheduler's folder for Office), PPD_<queue> (the PPD
# each queue prints through; for Net, the one Office prints through), and
# PID2, ROOT2, SOCKET2, PORT2 for the second scheduler.
#
# --locales generates en_US.UTF-8 and de_DE.UTF-8, the driver paths' locales,
# with localedef into a private folder, recorded as LOCPATH (use it as
# LOCPATH=... LANG=xx_XX.UTF-8); C.UTF-8 is always there. When the locale
# sources are missing, LOCALES_ERROR says so and the tests that need them
# fail with that reason.
set -euo pipefail

readonly GENERATED_LOCALES=(en_US de_DE)
readonly LOCALE_SOURCES=/usr/share/i18n/locales
readonly PPD_MODEL=drv:///sample.drv/generic.ppd
readonly PORT_TRIES=5

die() {
    echo "cups_env: $*" >&2
    stop_locale_jobs
    [[ -n ${STATE:-} ]] && stop "$STATE"
    exit 1
}

# The scheduler lives only for one test run and listens only on its own
# socket (and, for the stand-in network printer, on one loopback port), so
# it asks no one for a password: every operation is open.
write_configuration() {
    local root=$1 port=${2:-}
    {
        echo "Listen $root/cups.sock"
        [[ -n $port ]] && echo "Listen 127.0.0.1:$port"
        cat <<EOF
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
    } >"$root/etc/cupsd.conf"
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
# capture:/ keeps jobs in OUTDIR, capture:/NAME in OUTDIR-NAME; a job is
# named job-ID.pdf, job-ID.ps or job-ID.bin after its first bytes.
write_capture_backend() {
    local backend=$1 outdir=$2
    cat >"$backend" <<EOF
#!/bin/sh
if [ \$# -eq 0 ]; then
    echo 'direct capture "Unknown" "Label sheet capture"'
    exit 0
fi
name=\${DEVICE_URI#capture:/}
case \$name in
'') dir="$outdir" ;;
*[!A-Za-z0-9]*) echo "ERROR: bad capture device \$DEVICE_URI" >&2; exit 1 ;;
*) dir="$outdir-\$name" ;;
esac
part="\$dir/.job-\$1.part"
if [ \$# -ge 6 ]; then cat "\$6" >"\$part"; else cat >"\$part"; fi || exit 1
case \$(head -c 4 "\$part") in
%PDF) ext=pdf ;;
%!*) ext=ps ;;
*) ext=bin ;;
esac
mv "\$part" "\$dir/job-\$1.\$ext" || exit 1
exit 0
EOF
    # Mode 0700 makes cupsd run the backend as the scheduler's own user, who
    # can read the spool and write the output folder.
    chmod 0700 "$backend"
}

# A scheduler's folder: configuration, helper programs, spool, logs, output.
make_root() {
    local root
    root=$(mktemp -d /tmp/lmcups.XXXXXX)
    mkdir -p "$root"/{etc,spool/tmp,cache,state,log,out,client}
    chmod 0755 "$root"
    # Without root a few root-only backends cannot be copied; none is needed.
    cp -a /usr/lib/cups "$root/lib" 2>/dev/null || [[ $(id -u) -ne 0 ]] ||
        die "cannot copy /usr/lib/cups"
    chmod -R go-w "$root/lib"
    write_capture_backend "$root/lib/backend/capture" "$root/out"
    echo "$root"
}

# Starts cupsd on ROOT's configuration in the background; prints its PID.
run_cupsd() {
    local root=$1
    setsid cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" \
        </dev/null >"$root/log/cupsd.out" 2>&1 &
    echo $!
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

# True while PID is a running cupsd of ROOT (not a zombie, not a process
# that took over a stale PID).
is_our_cupsd() {
    local pid=$1 root=$2 stat
    [[ -n $pid && -n $root ]] || return 1
    stat=$(cat "/proc/$pid/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [[ ${stat%% *} != Z ]] || return 1
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "-c $root/etc/cupsd.conf"
}

stop_cupsd() {
    local pid=$1 root=$2
    is_our_cupsd "$pid" "$root" || return 0
    kill -TERM "$pid"
    for _ in $(seq 50); do
        is_our_cupsd "$pid" "$root" || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# A port for the stand-in network printer: below the kernel's range for
# outgoing connections, and not listened on now. Another program may still
# take it before cupsd does, so the caller checks who listens.
pick_port() {
    local low high port
    read -r low high </proc/sys/net/ipv4/ip_local_port_range
    for _ in $(seq 50); do
        port=$((20000 + RANDOM % 10000))
        ((port >= low && port <= high)) && continue
        listening_inodes "$port" | grep -q . || {
            echo "$port"
            return 0
        }
    done
    die "no free TCP port found"
}

# The socket inodes listening on 127.0.0.1:PORT or on any address.
listening_inodes() {
    local hex
    hex=$(printf '%04X' "$1")
    awk -v p=":$hex" '$4 == "0A" && ($2 == "0100007F" p || $2 == "00000000" p) { print $10 }' \
        /proc/net/tcp
}

# True when process PID itself listens on 127.0.0.1:PORT.
pid_listens_on() {
    local pid=$1 port=$2 inode
    for inode in $(listening_inodes "$port"); do
        find "/proc/$pid/fd" -lname "socket:\[$inode\]" 2>/dev/null | grep -q . && return 0
    done
    return 1
}

add_queue() {
    local queue=$1 answer
    shift
    answer=$(lpadmin -p "$queue" -E "$@" 2>&1) || die "cannot create queue $queue: $answer"
    lpstat -p "$queue" >/dev/null 2>&1 || die "queue $queue is missing: $answer"
}

# Making a queue from a PPD takes half a second of lpadmin's and cupsd's
# time, so the driver queues are made side by side: add_queue_started
# starts one in the background, wait_for_queues waits for all of them.
QUEUE_JOBS=()
add_queue_started() {
    local server=$1 queue=$2
    shift 2
    (
        answer=$(CUPS_SERVER=$server lpadmin -p "$queue" -E "$@" 2>&1) || {
            echo "cannot create queue $queue: $answer"
            exit 1
        }
        CUPS_SERVER=$server lpstat -p "$queue" >/dev/null 2>&1 || {
            echo "queue $queue is missing: $answer"
            exit 1
        }
    ) >"$ROOT/log/lpadmin-$queue" 2>&1 &
    QUEUE_JOBS+=("$!:$queue")
}

wait_for_queues() {
    local job failed=''
    for job in "${QUEUE_JOBS[@]}"; do
        wait "${job%%:*}" || failed+="$(cat "$ROOT/log/lpadmin-${job#*:}") "
    done
    QUEUE_JOBS=()
    [[ -z $failed ]] || die "$failed"
}

# The second scheduler, playing a network printer: it will share the A4
# PostScript queue "Office" over IPP on 127.0.0.1:PORT2.
start_network_printer() {
    local root pid port
    root=$(make_root)
    ROOT2=$root
    mkdir -p "$root/out-Office"
    for _ in $(seq $PORT_TRIES); do
        port=$(pick_port)
        write_configuration "$root" "$port"
        pid=$(run_cupsd "$root")
        PID2=$pid PORT2=$port
        record_state
        wait_until_answering "$root" "$pid"
        for _ in $(seq 20); do
            pid_listens_on "$pid" "$port" && return 0
            sleep 0.05
        done
        # Someone else took the port first: try another.
        stop_cupsd "$pid" "$root"
        PID2='' PORT2=''
    done
    die "the second scheduler found no free port in $PORT_TRIES tries"
}

# Compiled locales in LOCPATH, one localedef each, all at once.
LOCALE_JOBS=()
start_locale_jobs() {
    local locpath=$1 name
    mkdir -p "$locpath"
    if [[ ! -f $LOCALE_SOURCES/en_US ]] || ! compgen -G "/usr/share/i18n/charmaps/UTF-8*" >/dev/null; then
        LOCALES_ERROR="the locale sources ($LOCALE_SOURCES, /usr/share/i18n/charmaps) are missing: install the Debian package 'locales'"
        echo "cups_env: $LOCALES_ERROR" >&2
        return 0
    fi
    for name in "${GENERATED_LOCALES[@]}"; do
        localedef -i "$name" -f UTF-8 "$locpath/$name.UTF-8" >"$locpath/$name.log" 2>&1 &
        LOCALE_JOBS+=($!)
    done
}

finish_locale_jobs() {
    local locpath=$1 i failed=()
    for i in "${!LOCALE_JOBS[@]}"; do
        # localedef exits 1 after mere warnings, so its product decides.
        wait "${LOCALE_JOBS[i]}" || true
        [[ -f $locpath/${GENERATED_LOCALES[i]}.UTF-8/LC_CTYPE ]] || failed+=("${GENERATED_LOCALES[i]}")
    done
    LOCALE_JOBS=()
    if ((${#failed[@]})); then
        LOCALES_ERROR="localedef failed for ${failed[*]}: $(cat "$locpath/${failed[0]}.log")"
        echo "cups_env: $LOCALES_ERROR" >&2
    fi
    rm -f "$locpath"/*.log
}

stop_locale_jobs() {
    local pid
    for pid in "${LOCALE_JOBS[@]}"; do kill "$pid" 2>/dev/null || true; done
    LOCALE_JOBS=()
}

# Everything stop and the tests need, rewritten whenever a part is added.
record_state() {
    {
        printf 'PID=%s\nROOT=%s\nSOCKET=%s\nOUTDIR=%s\n' "$PID" "$ROOT" "$ROOT/cups.sock" "$ROOT/out"
        printf 'QUEUES=%q\n' "${QUEUES[*]}"
        local queue
        for queue in "${QUEUES[@]}"; do
            printf 'OUTDIR_%s=%q\nPPD_%s=%q\n' "$queue" "${OUTDIRS[$queue]}" "$queue" "${PPDS[$queue]:-}"
        done
        if [[ -n $ROOT2 ]]; then
            printf 'PID2=%s\nROOT2=%s\nSOCKET2=%s\nPORT2=%s\n' "$PID2" "$ROOT2" "$ROOT2/cups.sock" "$PORT2"
        fi
        if [[ -n $LOCPATH_DIR ]]; then
            printf 'LOCPATH=%q\nLOCALES=%q\nLOCALES_ERROR=%q\n' "$LOCPATH_DIR" \
                "C.UTF-8 ${GENERATED_LOCALES[*]/%/.UTF-8}" "$LOCALES_ERROR"
        fi
    } >"$STATE"
}

start() {
    local drivers=0 locales=0
    while [[ ${1:-} == --* ]]; do
        case $1 in
        --drivers) drivers=1 ;;
        --locales) locales=1 ;;
        *) die "unknown option $1" ;;
        esac
        shift
    done
    [[ $# -ge 1 ]] || die "start needs a state file"
    local state=$1 queue=${2:-Labels} role=${3:-default}
    stop "$state"
    STATE=$state PID='' ROOT2='' PID2='' PORT2='' LOCPATH_DIR='' LOCALES_ERROR=''
    QUEUES=()
    declare -gA OUTDIRS=() PPDS=()
    ROOT=$(make_root)
    record_state

    unset CUPS_SERVER LPDEST PRINTER
    export CUPS_SERVERROOT=$ROOT/client
    write_configuration "$ROOT"
    PID=$(run_cupsd "$ROOT")
    record_state
    if ((locales)); then
        LOCPATH_DIR=$ROOT/locale
        start_locale_jobs "$LOCPATH_DIR"
    fi
    # The network printer starts while the first scheduler does.
    if ((drivers)); then
        start_network_printer
    fi
    wait_until_answering "$ROOT" "$PID"

    CUPS_SERVER=$ROOT/cups.sock add_queue "$queue" -v capture:/ -m raw
    QUEUES+=("$queue") OUTDIRS[$queue]=$ROOT/out
    record_state
    if [[ $role == default ]]; then
        CUPS_SERVER=$ROOT/cups.sock lpadmin -d "$queue"
    fi

    if ((drivers)); then
        add_queue_started "$ROOT2/cups.sock" Office -v capture:/Office -m "$PPD_MODEL" \
            -o PageSize=A4 -o printer-is-shared=true
        local name size
        for name in LaserA4:A4 LaserLetter:Letter; do
            size=${name#*:} name=${name%:*}
            mkdir -p "$ROOT/out-$name"
            add_queue_started "$ROOT/cups.sock" "$name" -v "capture:/$name" -m "$PPD_MODEL" \
                -o "PageSize=$size"
            QUEUES+=("$name") OUTDIRS[$name]=$ROOT/out-$name PPDS[$name]=$ROOT/etc/ppd/$name.ppd
        done
        local driver
        for driver in Zebra:zebra: LaserJet300:laserjet:300dpi LaserJet600:laserjet:600dpi; do
            IFS=: read -r name model size <<<"$driver"
            mkdir -p "$ROOT/out-$name"
            add_queue_started "$ROOT/cups.sock" "$name" -v "capture:/$name" \
                -m "drv:///sample.drv/$model.ppd" ${size:+-o PageSize=A4 -o Resolution=$size}
            QUEUES+=("$name") OUTDIRS[$name]=$ROOT/out-$name PPDS[$name]=$ROOT/etc/ppd/$name.ppd
        done
        wait_for_queues
        # lpadmin asks Office what it can do and writes the PPD from that.
        CUPS_SERVER=$ROOT/cups.sock add_queue Net -v "ipp://127.0.0.1:$PORT2/printers/Office" \
            -m everywhere
        QUEUES+=(Net) OUTDIRS[Net]=$ROOT2/out-Office PPDS[Net]=$ROOT2/etc/ppd/Office.ppd
        record_state
    fi
    if ((locales)); then
        finish_locale_jobs "$LOCPATH_DIR"
        record_state
    fi
}

# One value from the state file, decoded as the shell wrote it.
state_value() {
    (
        # shellcheck disable=SC1090
        source "$1"
        printf '%s' "${!2:-}"
    )
}

stop() {
    local state=$1
    [[ -f $state ]] || return 0
    local root root2
    root=$(state_value "$state" ROOT)
    root2=$(state_value "$state" ROOT2)
    # The network printer first, so the first scheduler's Net queue has no
    # job left to hand over while it stops.
    stop_cupsd "$(state_value "$state" PID2)" "$root2"
    stop_cupsd "$(state_value "$state" PID)" "$root"
    for root in "$root" "$root2"; do
        if [[ $root == /tmp/lmcups.* ]]; then
            rm -rf "$root"
        fi
    done
    rm -f "$state"
}

case ${1:-} in
start) start "${@:2}" ;;
stop) stop "$2" ;;
*) die "usage: $0 start [--drivers] [--locales] STATE_FILE [QUEUE [default|spare]] | stop STATE_FILE" ;;
esac
