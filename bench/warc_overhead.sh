#!/usr/bin/env bash
# What the WARC archive costs: grabs a generated site served by nginx on
# loopback (no added latency) with and without --warc, RUNS interleaved runs
# each, and prints the median wall times and their ratio; then judges the
# last archive with scripts/warc_check.sh.
#   bench/warc_overhead.sh [PAGES] [RUNS]   (defaults 300, 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
pages=${1:-300}
runs=${2:-5}
port=${BENCH_PORT:-18680}
# In memory where there is room, as compare_peers.sh: the disk would time itself.
shm=/dev/shm; [ -d "$shm" ] || shm=/tmp
work=${BENCH_DIR:-$shm/gleanery-warc-bench}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}

source "$root/scripts/lib/packages.sh"
need_packages nginx python3 bc
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh" gleanery

rm -rf "$work"; mkdir -p "$work"
python3 "$tools/gen_site.py" "$work/site" --pages "$pages" --host "localhost:$port"
bash "$tools/serve.sh" stop "$port" 2>/dev/null || true
trap 'bash "$tools/serve.sh" stop "$port"' EXIT
url=$(bash "$tools/serve.sh" start "$work/site" "$port")

grab() { # NAME [--warc]
  local job=$work/$1
  rm -rf "$job"
  local t0 t1
  t0=$(date +%s.%N)
  "$gleanery" grab "$url" "$job" --connections 8 --output "$job/mirror" "${@:2}" >"$work/$1.log" 2>&1
  t1=$(date +%s.%N)
  echo "$1 $(echo "$t1 - $t0" | bc)" >>"$work/times"
}
for ((i = 0; i < runs; ++i)); do grab plain; grab warc --warc; done
median() { grep "^$1 " "$work/times" | sort -k2,2n | awk -v n="$runs" 'NR == int((n + 1) / 2) {print $2}'; }
plain=$(median plain)
warc=$(median warc)
echo "median wall time over $runs runs: without WARC $plain s, with WARC $warc s, ratio $(echo "scale=2; $warc / $plain" | bc)"
du -b "$work/warc/"*.warc.gz | awk '{s += $1} END {printf "archive: %.1f MB\n", s / 1e6}'
WARC_CHECK_JOB=$work/warc WARC_CHECK_DIR=$work/check bash "$root/scripts/warc_check.sh" "$work/site"
