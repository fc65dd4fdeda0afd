#!/usr/bin/env bash
# A large site to the end: generates 30,000 pages with four files each,
# serves them with nginx on loopback and scans them with `gleanery --begin`
# (10 connections). Prints the wall time, the peak memory, the pages and
# files stored, the work store's size, and the time per page over the first
# and over the last 1,000 pages scanned, with their ratio (the scan should
# not slow down as the work store grows).
#   bench/large_site.sh [PAGES] [FILES_PER_PAGE]      (defaults 30000 and 4)
# PARALLEL=1 in the environment scans with pages on all connections.
# Needs nginx, python3, bc and time (installed when missing) and the shared
# bench tools beside the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
pages=${1:-30000}
per_page=${2:-4}
port=${BENCH_PORT:-18680}
# In memory where the machine has /dev/shm: ext4 passes over inodes freed in
# the last minutes when it makes new files, so on disk a run would measure
# the deletion of the run before it more than the tools.
shm=/dev/shm; [ -d "$shm" ] && [ -w "$shm" ] || shm=/tmp
work=${BENCH_DIR:-$shm/gleanery-large}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}

source "$root/scripts/lib/packages.sh"
need_packages nginx python3 bc time
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh"

rm -rf "$work"; mkdir -p "$work/job"
python3 "$tools/gen_site.py" "$work/site" --pages "$pages" --files-per-page "$per_page" --file-kb 4 \
  --host "localhost:$port"
bash "$tools/serve.sh" stop "$port" 2>/dev/null || true  # a server left by an earlier run
trap 'bash "$tools/serve.sh" stop "$port"' EXIT
url=$(bash "$tools/serve.sh" start "$work/site" "$port")

# Every page scan prints its status line at once; stamp each as it arrives.
stamp='
import sys, time
start = time.monotonic()
out = open(sys.argv[1], "w")
for line in sys.stdin:
    for part in line.split("\r"):
        if part.startswith("Status: Scanning: "):
            out.write("%.4f\n" % (time.monotonic() - start))
'
t0=$(date +%s.%N)
/usr/bin/time -f "%M" -o "$work/peak_kb" "$gleanery" --begin "$work/job/site.glf" --set "txtLocation=$url" \
  --set "txtSaveLocation=$work/job/mirror" --set "txtSaveLocation2=$work/job/mirror" \
  --set "txtSpacePrimary=0" --set "txtSpaceSecondary=0" --set "cboConnections=10" \
  --set "chkParallelPages=${PARALLEL:-0}" \
  2>&1 >/dev/null | python3 -c "$stamp" "$work/page_times"
wall=$(echo "$(date +%s.%N) - $t0" | bc)

scanned=$(wc -l < "$work/page_times")
stored=$(find "$work/job/mirror" -type f | wc -l)
at() { sed -n "${1}p" "$work/page_times"; }
first=$(echo "scale=3; ($(at 1001) - $(at 1)) * 1000 / 1000" | bc)
last=$(echo "scale=3; ($(at "$scanned") - $(at $((scanned - 1000)))) * 1000 / 1000" | bc)
echo
echo "site: $pages pages, $((pages * per_page)) files"
echo "wall time:            $wall s"
echo "peak memory:          $(( $(cat "$work/peak_kb") / 1024 )) MB"
echo "page URLs scanned:    $scanned"
echo "files in the mirror:  $stored (pages and files)"
echo "work store:           $(du -k "$work/job/site.GLD" | cut -f1) kB"
echo "ms per page, first 1,000: $first"
echo "ms per page, last 1,000:  $last"
echo "ratio last / first:       $(echo "scale=2; $last / $first" | bc)"
