#!/usr/bin/env bash
# Builds Gleanery with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there. Any memory error, leak or
# undefined behaviour fails the test it happens in, and so the run.
#   scripts/sanitize.sh
# Needs the packages of scripts/setup.sh (CI runs that first).
set -euo pipefail
cd "$(dirname "$0")/.."

# Under CI (.ci/run sets CI) a compiler warning fails the build, as in
# scripts/test.sh.
if [ -n "${CI:-}" ]; then werror=ON; else werror=OFF; fi

# -O1 with line tables only: half the compile time of -O2 -g, and reports
# still name file and line.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DGLEANERY_SANITIZE=ON -DGLEANERY_BENCHMARKS=OFF -DGLEANERY_WERROR=$werror >/dev/null
cmake --build build-asan

# Undefined behaviour stops the test at the first report instead of being
# printed and passed over. Leaks are reported when a test program ends; none
# turn up, in Qt and the system libraries either, so nothing is suppressed.
# Freed memory is held back 16 MB deep instead of 256 MB: deep enough to
# catch a use after free, and shallow enough that tests which bound their
# own peak memory (a hostile site's huge pages) stay within their bound.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:quarantine_size_mb=16
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j2 --timeout 600
