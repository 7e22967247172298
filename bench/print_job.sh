#!/usr/bin/env bash
# The print job against a private CUPS scheduler with the queues of the
# end-to-end tests (tests/e2e/cups_env.sh --drivers): ten repetitions of each
# benchmark of bench_print_job, with median, min and max.
#   bench/print_job.sh [BUILD_DIR [BENCHMARK_OPTIONS...]]   (default: build)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build}
shift $(($# > 0 ? 1 : 0))
program=$build/bench/bench_print_job
[[ -x $program ]] || { echo "build $program first" >&2; exit 2; }

scratch=$(mktemp -d)
state=$scratch/cups.state
trap 'tests/e2e/cups_env.sh stop "$state"; rm -rf "$scratch"' EXIT
tests/e2e/cups_env.sh start --drivers "$state" >/dev/null
# shellcheck disable=SC1090
source "$state"
mkdir -m 0700 "$scratch/home" "$scratch/run"
export CUPS_SERVER=$SOCKET HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run
"$program" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true "$@"
