#!/usr/bin/env bash
# Checks that every C++ file under src/ tests/ tools/ bench/ fuzz/ is laid
# out as .clang-format says; lists the files that are not and fails then.
#   scripts/check_format.sh
# clang-format -i FILE... lays them out.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/lib/packages.sh
need_packages clang-format

# One clang-format for all files: it names each file it would change in a
# "code should be clang-formatted" report.
mapfile -d '' files < <(find src tests tools bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
status=0
report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1) || status=$?
[ "$status" -eq 0 ] && exit 0
unformatted=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ -z "$unformatted" ]; then
  echo "$report" >&2  # clang-format itself failed (a bad .clang-format, say)
  exit "$status"
fi
echo "Not formatted as .clang-format says (clang-format -i FILE... fixes them):"
sed 's/^/  /' <<<"$unformatted"
exit 1
