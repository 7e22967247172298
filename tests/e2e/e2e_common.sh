# What the end-to-end scripts share, for them to source: a private client,
# waiting for a captured job, reading barcodes back, a PDF without its dates,
# and what a reader must find on a sheet (the check characters worked out
# from the Code 39 table by hand, and the value of each cell of a sheet led
# by A0000/B0000/C0000), and the proxy that cuts or stops the scheduler.
# A script sets JOB_WAIT_SECONDS and OUTDIR (the default job folder), and
# defines fail.

# The Code 39 characters in the order of their modulo-43 values 0 to 42.
readonly CODE39_BY_VALUE='0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%'
readonly LEADING_LETTERS=(A B C)

check_character() {
    local value=$1 sum=0 i before
    for ((i = 0; i < ${#value}; i++)); do
        before=${CODE39_BY_VALUE%%"${value:i:1}"*}
        ((${#before} < 43)) && sum=$((sum + ${#before}))
    done
    printf '%s' "${CODE39_BY_VALUE:sum % 43:1}"
}

# The value of cell (row, column): type 0 labels carry a check character.
expected_value() {
    local type=$1 row=$2 column=$3 value
    value=${LEADING_LETTERS[column]}000$row
    [[ $type == 0 ]] && value+=$(check_character "$value")
    printf '%s' "$value"
}

# A private home and client configuration in a new folder $WORK (named after
# PREFIX), so that no lpoptions of the machine or the user, and no
# LPDEST/PRINTER, choose another destination or paper.
private_client() {
    WORK=$(mktemp -d "/tmp/$1.XXXXXX")
    export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run CUPS_SERVERROOT=$WORK/client
    mkdir -m 0700 "$HOME" "$XDG_RUNTIME_DIR" "$CUPS_SERVERROOT"
    unset LPDEST PRINTER LANGUAGE XDG_CONFIG_HOME
}

# The captured jobs of FOLDER (default: $OUTDIR), sorted.
job_files() { find "${1:-$OUTDIR}" -maxdepth 1 -name 'job-*' | sort; }

# Waits for the one job that is in FOLDER (default: $OUTDIR) and was not in
# BEFORE; sets JOB to its path.
wait_for_new_job() {
    local before=$1 folder=${2:-$OUTDIR} deadline=$((SECONDS + JOB_WAIT_SECONDS)) new
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

# The window's sheet, asked for as TYPE VALUE1 VALUE2 VALUE3 (leading values,
# printed) or --save-pdf FILE TYPE VALUE1 VALUE2 VALUE3 (saved): through the
# program's own command line ($LINOMARK). Only what that cannot ask for,
# --columns (edited lists) and --alignment-sheet, goes through $PRINT_DRIVER.
print_sheet() {
    case $1 in
    --save-pdf) "$LINOMARK" --pdf "$2" --type "${@:3}" ;;
    --columns | --alignment-sheet) "$PRINT_DRIVER" "$@" ;;
    *) "$LINOMARK" --print --type "$@" ;;
    esac
}

# zbarimg reading Code 39 only, with its own options (--raw, --xml) and images.
decode() { zbarimg -q --nodbus -Sdisable -Scode39.enable "$@" 2>/dev/null || true; }

# The PDF without what changes from one run to the next: the creation dates
# in the document information and in the XMP metadata.
without_metadata() {
    LC_ALL=C sed -E -e 's/\(D:[0-9]{14}[^)]*\)/(D:)/g' \
        -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[^<"]*/DATE/g' "$1"
}

# ipp_cut_proxy.py in front of the scheduler's $SOCKET, at $WORK/proxy.sock,
# with the proxy's options; its log is $WORK/cuts.
start_proxy() {
    local proxy=$WORK/proxy.sock
    rm -f "$proxy" "$WORK/cuts"
    python3 "$(dirname "${BASH_SOURCE[0]}")/ipp_cut_proxy.py" "$proxy" "$SOCKET" "$WORK/cuts" "$@" \
        </dev/null >"$WORK/proxy.log" 2>&1 &
    PROXY_PID=$!
    for _ in $(seq 50); do
        [[ -S $proxy ]] && return 0
        sleep 0.1
    done
    fail "the proxy does not listen: $(cat "$WORK/proxy.log")"
}

stop_proxy() {
    [[ -n ${PROXY_PID:-} ]] || return 0
    kill "$PROXY_PID" 2>/dev/null || true
    wait "$PROXY_PID" 2>/dev/null || true
    PROXY_PID=''
}
