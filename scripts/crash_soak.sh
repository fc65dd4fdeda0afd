#!/usr/bin/env bash
# Crash soak: scans a generated site once without interruption, then again
# while killing the program with SIGKILL at random moments and resuming it
# each time, and checks that the two mirrors hold the same files with the
# same bytes, that every target of the work store was completed, and that no
# temporary file was left behind.
#   scripts/crash_soak.sh [PAGES] [KILLS] [SEED] [PARALLEL] [WARC]   (defaults 1000, 20, random, 0, 0)
# PARALLEL 1 scans with pages on all connections. WARC 1 also writes the
# WARC archive: after each kill and resume every closed archive file must
# read to its end in warcio (the npm package), and at the end the archive
# must hold every page and file of the work store.
# Needs nginx, python3, sqlite3 (installed when missing) and the shared bench
# tools beside the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
pages=${1:-1000}
kills=${2:-20}
seed=${3:-$RANDOM}
parallel=${4:-0}
warc=${5:-0}
port=${SOAK_PORT:-18580}
work=${SOAK_DIR:-/tmp/gleanery-soak}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}

source "$root/scripts/lib/packages.sh"
source "$root/scripts/lib/warcio.sh"
need_packages nginx python3 sqlite3 bc
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh"

rm -rf "$work"; mkdir -p "$work"
python3 "$tools/gen_site.py" "$work/site" --pages "$pages" --host "localhost:$port"
bash "$tools/serve.sh" stop "$port" 2>/dev/null || true  # a server left by an earlier run
trap 'bash "$tools/serve.sh" stop "$port"' EXIT
url=$(bash "$tools/serve.sh" start "$work/site" "$port")
RANDOM=$seed
echo "seed $seed"

# scan JOB --begin|--resume: runs the job in the background; its pid in $pid.
# Both jobs write to the same mirror folder in turn (the clean one is moved
# aside after its scan), because rewritten links name the folder.
mirror=$work/mirror
scan() {
  local job=$1 mode=$2
  "$gleanery" "$mode" "$job/site.glf" --set "txtLocation=$url" \
    --set "txtSaveLocation=$mirror" --set "txtSaveLocation2=$mirror" \
    --set "txtSpacePrimary=0" --set "txtSpaceSecondary=0" --set "cboConnections=8" \
    --set "chkParallelPages=$parallel" --set "chkWarc=$warc" >> "$job/log" 2>&1 &
  pid=$!
}

mkdir -p "$work/clean" "$work/soak"
start=$(date +%s.%N)
scan "$work/clean" --begin
wait "$pid"
clean_secs=$(echo "$(date +%s.%N) - $start" | bc)
mv "$mirror" "$work/clean/mirror"
echo "clean scan: $clean_secs s"

# Moments spread so that the kills fall across the whole scan: each run
# lives a random part of the clean scan's length divided among the kills.
slice_ms=$(echo "$clean_secs * 1000 / $kills * 2" | bc | cut -d. -f1)
[ "${slice_ms:-0}" -ge 50 ] || slice_ms=50
log=/tmp/gleanery-bench-$port/access.log
served_before=$(wc -l < "$log")
mode=--begin
for ((i = 1; i <= kills; i++)); do
  warcs_before=$(find "$work/soak" -name 'site-*.warc.gz' | wc -l)
  scan "$work/soak" "$mode"
  # The resumed run mends what the kill tore before it begins its own file:
  # every file but that new one must then read to its end.
  if [ "$warc" = 1 ] && [ "$warcs_before" -gt 0 ]; then
    for ((w = 0; w < 100; w++)); do
      [ "$(find "$work/soak" -name 'site-*.warc.gz' | wc -l)" -gt "$warcs_before" ] && break
      sleep 0.1
    done
    warc_readable $(find "$work/soak" -name 'site-*.warc.gz' | sort | head -n "$warcs_before") >/dev/null ||
      { echo "FAIL: an archive file does not read to its end after resume $i"; warc_status=1; }
  fi
  # A kill before Begin has seeded the store would leave nothing to resume.
  if [ "$mode" = --begin ]; then
    for ((w = 0; w < 300; w++)); do
      [ -n "$(find "$mirror" -type f -print -quit 2>/dev/null)" ] && break
      sleep 0.1
    done
  fi
  sleep "$(echo "scale=3; $((20 + RANDOM % slice_ms)) / 1000" | bc)"
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"; wait "$pid" 2>/dev/null || true
    echo "kill $i: $(find "$mirror" -type f 2>/dev/null | wc -l) files stored so far"
  else
    wait "$pid" 2>/dev/null || true
    echo "kill $i: the scan had already ended"
  fi
  mode=--resume
done
scan "$work/soak" --resume
wait "$pid" || { echo "FAIL: the last resume did not end with Site Scanned"; exit 1; }
mv "$mirror" "$work/soak/mirror"

status=${warc_status:-0}
if [ "$warc" = 1 ]; then
  warc_readable "$work/soak"/site-*.warc.gz || status=1
  WARC_CHECK_JOB=$work/soak WARC_CHECK_TWICE=1 WARC_CHECK_DIR=$work/warc-check \
    bash "$root/scripts/warc_check.sh" "$work/site" || status=1
fi
if diff -r "$work/clean/mirror" "$work/soak/mirror" > "$work/diff.txt"; then
  echo "mirrors: identical, $(find "$work/soak/mirror" -type f | wc -l) files"
else
  echo "FAIL: the mirrors differ ($(wc -l < "$work/diff.txt") lines in $work/diff.txt)"; status=1
fi
# A file fetched twice must have been in flight at a kill: at most one a
# download connection, or a connection at all with pages on every one.
refetched=$(tail -n +"$((served_before + 1))" "$log" | awk '$9 == 200 {print $7}' | sort | uniq -d | wc -l)
echo "files fetched more than once in the soak: $refetched (kills: $kills)"
[ "$refetched" -le $((kills * (9 + parallel))) ] || { echo "FAIL: more refetches than transfers cut by the kills"; status=1; }
leftovers=$(find "$work/soak/mirror" -name '*.part' | wc -l)
[ "$leftovers" -eq 0 ] || { echo "FAIL: $leftovers temporary files left"; status=1; }
for job in clean soak; do
  read -r total open failed < <(sqlite3 -separator ' ' "$work/$job/site.GLD" \
    "select count(*), sum(Completed = 0), sum(Completed <> 0 and (Result < 200 or Result > 299)) from Targets")
  echo "$job: $total targets, $open not completed, $failed failed"
  [ "$open" -eq 0 ] && [ "$failed" -eq 0 ] || status=1
done
[ "$(sqlite3 "$work/clean/site.GLD" 'select count(*) from Targets')" = \
  "$(sqlite3 "$work/soak/site.GLD" 'select count(*) from Targets')" ] || { echo "FAIL: target counts differ"; status=1; }
[ "$status" -eq 0 ] && echo "PASS" || echo "FAIL"
exit "$status"
