#!/usr/bin/env bash
# A real scan onto two small file systems (tmpfs, so it needs root): the
# primary fills up to its floor and files go on to the secondary; when both
# are at their floors the scan stops with "Execution Stopped... Low Disk
# Space" (exit code 3); after both are made larger, --resume completes the
# scan with every file stored once.
#   scripts/low_disk_run.sh [PAGES]      (default 150)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
pages=${1:-150}
port=${LOWDISK_PORT:-18880}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}
source "$root/scripts/lib/packages.sh"
need_packages nginx python3 sqlite3
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh"
[ "$(id -u)" -eq 0 ] || { echo "needs root to mount the small file systems"; exit 2; }

work=$(mktemp -d)
chmod 755 "$work"  # nginx reads the site as another user
primary=$work/primary; secondary=$work/secondary
mkdir -p "$primary" "$secondary" "$work/job"
cleanup() {
  umount "$primary" "$secondary" 2>/dev/null || true
  bash "$tools/serve.sh" stop "$port" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mount -t tmpfs -o size=3m tmpfs "$primary"
mount -t tmpfs -o size=3m tmpfs "$secondary"

python3 "$tools/gen_site.py" "$work/site" --pages "$pages" --host "localhost:$port"
bash "$tools/serve.sh" stop "$port" 2>/dev/null || true
url=$(bash "$tools/serve.sh" start "$work/site" "$port")

scan() {
  "$gleanery" "$1" "$work/job/site.glf" --set "txtLocation=$url" \
    --set "txtSaveLocation=$primary" --set "txtSaveLocation2=$secondary" \
    --set "txtSpacePrimary=1" --set "txtSpaceSecondary=1" 2> "$work/log" && code=0 || code=$?
  grep -E '^(Status: Execution|\[Gleanery)' "$work/log" | sort | uniq -c
  echo "exit code $code; primary $(find "$primary" -type f | wc -l) files, secondary $(find "$secondary" -type f | wc -l) files"
}

echo "== Begin on two 3 MB file systems with 1 MB floors"
scan --begin
[ "$code" -eq 3 ] || { echo "FAIL: expected the scan to stop for lack of space"; exit 1; }
mount -o remount,size=200m "$primary"
mount -o remount,size=200m "$secondary"
echo "== Resume after both were made larger"
scan --resume
[ "$code" -eq 0 ] || { echo "FAIL: the resumed scan did not end with Site Scanned"; exit 1; }
read -r total open < <(sqlite3 -separator ' ' "$work/job/site.GLD" \
  "select count(*), sum(Completed = 0) from Targets")
echo "targets: $total, not completed: $open"
leftovers=$(find "$primary" "$secondary" -name '*.part' | wc -l)
[ "$open" -eq 0 ] && [ "$leftovers" -eq 0 ] && echo PASS || { echo FAIL; exit 1; }
