#!/usr/bin/env bash
# Gleanery beside the grabbers users would pick instead, on the same site in
# the same run: generates a site (300 pages, about 1,200 files by default),
# serves it with nginx without and with added latency, and then over HTTPS
# with HTTP/2 (a throw-away certificate) with added latency; runs
# `gleanery --begin` (10 connections, other settings default) with pages on
# one connection ("gleanery") and on all of them ("gleanery+"), wget (not
# over HTTPS: one connection would take minutes) and wget2, and prints wall
# time, CPU time, peak memory, files stored and Gleanery's ratios to each.
#   bench/compare_peers.sh [PAGES] [LATENCY_MS]      (defaults 300 and 20)
# RUNS=N in the environment runs every tool N times, interleaved, and prints
# each tool's median run by wall time (wget across latency runs once).
# Needs the Debian packages nginx, wget, wget2, openssl, python3, bc and time
# (installed when missing) and the shared bench tools beside the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
pages=${1:-300}
latency=${2:-20}
runs=${RUNS:-1}
port=${BENCH_PORT:-18480}
# In memory where the machine has /dev/shm: ext4 passes over inodes freed in
# the last minutes when it makes new files, so on disk a run would measure
# the deletion of the run before it more than the tools.
shm=/dev/shm; [ -d "$shm" ] && [ -w "$shm" ] || shm=/tmp
work=${BENCH_DIR:-$shm/gleanery-compare}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}

source "$root/scripts/lib/packages.sh"
need_packages nginx wget wget2 openssl python3 bc time
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

# One Gleanery run: NAME LABEL URL PARALLEL_PAGES
run_gleanery() {
  local job="$work/$2-$1"
  measure "$1" "$job" "$gleanery" --begin "$job/site.glf" \
    --set "txtLocation=$3" --set "txtSaveLocation=$job/mirror" --set "txtSaveLocation2=$job/mirror" \
    --set "txtSpacePrimary=0" --set "txtSpaceSecondary=0" --set "cboConnections=8" --set "chkParallelPages=$4"
}

run_all() { # LABEL URL [tls]
  local label=$1 url=$2 tls=${3:-}
  : > "$work/results"
  local round
  for ((round = 0; round < runs; ++round)); do
    run_gleanery gleanery "$label" "$url" 0
    run_gleanery gleanery+ "$label" "$url" 1
    if [ -z "$tls" ]; then
      # wget takes half a minute across latency: once is enough to see it.
      [ "$round" -gt 0 ] && [ "$label" != "no added latency" ] ||
        measure wget "$work/$label-wget" wget -r -l 12 -k -nv -e robots=off "$url"
      measure wget2 "$work/$label-wget2" wget2 -r -l 12 -k --max-threads=10 --robots=off -q "$url"
    else
      measure wget2 "$work/$label-wget2" wget2 -r -l 12 -k --max-threads=10 --robots=off -q \
        --ca-certificate="$SSL_CERT_FILE" "$url"
    fi
  done
  # Each tool's median run by wall time.
  sort -k1,1 -k2,2n "$work/results" | awk '{n[$1]++; row[$1, n[$1]] = $0}
    END {for (t in n) print row[t, int((n[t] + 1) / 2)]}' | sort > "$work/medians"
  mv "$work/medians" "$work/results"
  echo
  echo "Site of $pages pages, $label$( [ "$runs" -gt 1 ] && echo ", median of $runs interleaved runs")"
  printf '%-9s %9s %9s %10s %7s %12s %12s %12s\n' tool "wall s" "cpu s" "peak MB" files "g/tool" "g+/tool" "cpu/file"
  local gw gpw
  read -r _ gw _ < <(grep '^gleanery ' "$work/results")
  read -r _ gpw _ < <(grep '^gleanery+ ' "$work/results")
  while read -r name wall cpu rss files; do
    printf '%-9s %9.2f %9.2f %10.1f %7d %12s %12s %12s\n' "$name" "$wall" "$cpu" "$(echo "$rss / 1024" | bc -l)" \
      "$files" "$(echo "scale=2; $gw / $wall" | bc)" "$(echo "scale=2; $gpw / $wall" | bc)" \
      "$(echo "scale=6; $cpu / ($files + 0.000001)" | bc)"
  done < "$work/results"
}

# nginx with TLS and HTTP/2 on PORT, behind the latency proxy on PORT+1;
# prints the URL. The certificate names localhost and is trusted through
# SSL_CERT_FILE (Gleanery) and --ca-certificate (wget2).
serve_tls() { # DIR PORT DELAY_MS
  local run=/tmp/gleanery-bench-$2
  mkdir -p "$run"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=localhost \
    -addext subjectAltName=DNS:localhost -keyout "$run/key.pem" -out "$run/cert.pem" 2>/dev/null
  local user=""; [ "$(id -u)" = 0 ] && user="user root;"
  cat > "$run/nginx.conf" <<CONF
$user
worker_processes 1;
pid $run/nginx.pid;
error_log $run/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  include /etc/nginx/mime.types;
  keepalive_requests 100000;
  http2_max_concurrent_streams 128;
  client_body_temp_path $run; proxy_temp_path $run; fastcgi_temp_path $run; uwsgi_temp_path $run; scgi_temp_path $run;
  server { listen 127.0.0.1:$2 ssl http2; ssl_certificate $run/cert.pem; ssl_certificate_key $run/key.pem; root $1; }
}
CONF
  nginx -c "$run/nginx.conf"
  nohup python3 "$tools/latency_proxy.py" $(($2 + 1)) "$2" "$3" > "$run/proxy.log" 2>&1 &
  echo $! > "$run/proxy.pid"; sleep 0.5
  echo "https://localhost:$(($2 + 1))/"
}

trap 'bash "$tools/serve.sh" stop "$port"' EXIT
generate "$port"
bash "$tools/serve.sh" start "$work/site" "$port" > /dev/null
run_all "no added latency" "http://localhost:$port/"
bash "$tools/serve.sh" stop "$port"
generate "$((port + 1))"
url=$(bash "$tools/serve.sh" start "$work/site" "$port" "$latency")
run_all "${latency} ms latency" "$url"
bash "$tools/serve.sh" stop "$port"
# The site's absolute links name the scheme too.
grep -rlZ "http://localhost:$((port + 1))" "$work/site" | xargs -0 sed -i "s#http://localhost:$((port + 1))#https://localhost:$((port + 1))#g"
url=$(serve_tls "$work/site" "$port" "$latency")
export SSL_CERT_FILE=/tmp/gleanery-bench-$port/cert.pem
run_all "HTTPS with HTTP/2, ${latency} ms latency" "$url" tls
unset SSL_CERT_FILE
echo
echo "gleanery+ = pages on all connections; g/tool and g+/tool = their wall time / the tool's;"
echo "cpu/file = CPU seconds per stored file"
