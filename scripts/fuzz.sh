#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs
# each one in turn for SECONDS (default 30), starting from its seed corpus in
# fuzz/corpus/<target>/. Fails when any target finds anything: a crash, a
# sanitizer report, a broken invariant, a leak or an input that takes over
# 10 seconds. The reproducer is left in build-fuzz/findings/<target>/ and is
# replayed with: build-fuzz/fuzz/fuzz_<target> <file>
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

source scripts/lib/packages.sh
need_packages clang libclang-rt-14-dev

# Line tables are enough for the reports to name file and line.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1" -DGLEANERY_FUZZ=ON -DBUILD_TESTING=OFF -DGLEANERY_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz --target fuzzers

failed=()
for source in fuzz/*.cpp; do
  target=$(basename "$source" .cpp)
  corpus=build-fuzz/corpus/$target findings=build-fuzz/findings/$target log=build-fuzz/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  # New inputs go to the first folder; the seeds in the repository stay as they are.
  status=0
  "build-fuzz/fuzz/fuzz_$target" "$corpus" "fuzz/corpus/$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  corp=$(grep -o 'corp: [0-9]*/[0-9]*[a-zA-Z]*' "$log" | tail -1 | cut -d' ' -f2)
  if [ "$status" -eq 0 ]; then
    echo "$target: ${runs:-?} executions, ${speed:-?} exec/s, corpus ${corp:-?}, no findings"
  else
    echo "$target: FINDING after ${runs:-?} executions (exit $status); log $log, reproducer in $findings/"
    grep -E '^(==[0-9]+==ERROR|\*\*\* |SUMMARY|.*runtime error)' "$log" | head -5 || true
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
