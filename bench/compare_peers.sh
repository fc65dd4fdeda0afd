#!/usr/bin/env bash
# Gleanery beside the grabbers users would pick instead, on the same site in
# the same run: generates a site (300 pages, about 1,200 files by default),
# serves it with nginx without and with added latency, runs
# `gleanery --begin` (10 connections, other settings default) and wget and
# wget2 on it, and prints wall time, CPU time, peak memory, files stored and
# Gleanery's ratios to each peer.
#   bench/compare_peers.sh [PAGES] [LATENCY_MS]      (defaults 300 and 20)
# Needs the Debian packages nginx, wget, wget2, python3, bc and time
# (installed when missing) and the shared bench tools beside the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
pages=${1:-300}
latency=${2:-20}
port=${BENCH_PORT:-18480}
work=${BENCH_DIR:-/tmp/gleanery-compare}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}

source "$root/scripts/lib/packages.sh"
need_packages nginx wget wget2 python3 bc time
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh"

rm -rf "$work"; mkdir -p "$work"
# Absolute links of the site must name the host and port it is fetched from.
generate() { rm -rf "$work/site"; python3 "$tools/gen_site.py" "$work/site" --pages "$pages" --host "localhost:$1"; }

# One measured run: NAME DIR COMMAND...; appends "name wall cpu maxrss_kb files" to the results.
measure() {
  local name=$1 dir=$2; shift 2
  rm -rf "$dir"; mkdir -p "$dir"
  local t0 t1
  t0=$(date +%s.%N)
  ( cd "$dir" && /usr/bin/time -f "%U %S %M" -o "$work/$name.time" "$@" ) > "$work/$name.log" 2>&1 || true
  t1=$(date +%s.%N)
  read -r user sys rss < "$work/$name.time"
  local files
  files=$(find "$dir" -type f ! -name '*.glf' ! -name '*.GLD*' | wc -l)
  echo "$name $(echo "$t1 - $t0" | bc) $(echo "$user + $sys" | bc) $rss $files" >> "$work/results"
}

run_all() { # LABEL URL
  local label=$1 url=$2
  : > "$work/results"
  local job="$work/$label-gleanery"
  measure gleanery "$job" "$gleanery" --begin "$job/site.glf" \
    --set "txtLocation=$url" --set "txtSaveLocation=$job/mirror" --set "txtSaveLocation2=$job/mirror" \
    --set "txtSpacePrimary=0" --set "txtSpaceSecondary=0" --set "cboConnections=8"
  measure wget "$work/$label-wget" wget -r -l 12 -k -nv -e robots=off "$url"
  measure wget2 "$work/$label-wget2" wget2 -r -l 12 -k --max-threads=10 --robots=off -q "$url"
  echo
  echo "Site of $pages pages, $label"
  printf '%-9s %9s %9s %10s %7s %12s %12s\n' tool "wall s" "cpu s" "peak MB" files "wall ratio" "cpu/file"
  local gw gc gf
  read -r _ gw gc _ gf < <(grep '^gleanery ' "$work/results")
  while read -r name wall cpu rss files; do
    printf '%-9s %9.2f %9.2f %10.1f %7d %12s %12s\n' "$name" "$wall" "$cpu" "$(echo "$rss / 1024" | bc -l)" "$files" \
      "$(echo "scale=2; $gw / $wall" | bc)" "$(echo "scale=6; $cpu / ($files + 0.000001)" | bc)"
  done < "$work/results"
}

trap 'bash "$tools/serve.sh" stop "$port"' EXIT
generate "$port"
bash "$tools/serve.sh" start "$work/site" "$port" > /dev/null
run_all "no added latency" "http://localhost:$port/"
bash "$tools/serve.sh" stop "$port"
generate "$((port + 1))"
url=$(bash "$tools/serve.sh" start "$work/site" "$port" "$latency")
run_all "${latency} ms latency" "$url"
echo
echo "wall ratio = Gleanery's wall time / the tool's; cpu/file = CPU seconds per stored file"
