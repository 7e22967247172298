#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest:
#   1. the whole suite (core, drawing, window, settings and link, end-to-end
#      printing through a private CUPS scheduler, installing into a temporary
#      folder and making the .deb with cpack) on an ordinary build in build/;
#   2. every test but the end-to-end and install ones again on a build with
#      AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/.
# Exits non-zero when anything fails, including any sanitizer report.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
root=$(pwd)
jobs=$(nproc)

scripts/install-deps.sh test || exit 1

build_tree() { # folder, extra cmake arguments...
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j"$jobs"
}

status=0
echo "== Build and test (build/)"
if build_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINOMARK_TESTS=ON -DLINOMARK_BENCH=ON; then
    (cd build && ctest --output-on-failure --no-tests=error -j"$jobs") || status=1
else
    echo "build failed"
    status=1
fi

echo "== Sanitizers: AddressSanitizer + UndefinedBehaviorSanitizer (build-sanitize/)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if build_tree build-sanitize -DCMAKE_BUILD_TYPE=Debug -DLINOMARK_SANITIZE=ON -DLINOMARK_TESTS=ON -DLINOMARK_BENCH=OFF; then
    (cd build-sanitize && ctest --output-on-failure --no-tests=error -j"$jobs" -LE "e2e|install") || status=1
else
    echo "sanitizer build failed"
    status=1
fi

if [[ $status -eq 0 ]]; then
    echo "== All tests passed"
else
    echo "== Some tests FAILED"
fi
exit $status
