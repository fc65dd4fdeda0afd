#!/usr/bin/env bash
# Sets up and builds Gleanery (scripts/setup.sh), then runs its main job: a
# scan. Given a site address it grabs that site; given none it grabs a small
# demo site that it serves itself on 127.0.0.1.
#   scripts/run.sh [URL]
# The job's setup file and mirror go to ~/Gleanery/<name>/ (GLEANERY_JOBS overrides).
# With a display (DISPLAY or WAYLAND_DISPLAY set) the main window opens with
# the job, ready for Begin; without one the scan runs in the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only the program, its windows, its data and the demo server: the tests are
# built by scripts/test.sh.
bash scripts/setup.sh gleanery gleanery-windows gleanery-demo-server blank_store help_pages
root=$(pwd)
jobs=${GLEANERY_JOBS:-$HOME/Gleanery}

server_pid=""
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true; }
trap cleanup EXIT

if [ $# -ge 1 ]; then
  url=$1
  name=$(printf '%s' "$url" | sed -E 's#^[a-zA-Z]+://##; s#[/?].*##; s#[^A-Za-z0-9.-]#_#g')
else
  name=demo
  # One port from run to run, so the mirror keeps one host folder.
  coproc SERVER { exec "$root/build/bin/gleanery-demo-server" "$root/demo/site" 18080; }
  server_pid=$SERVER_PID
  read -r url <&"${SERVER[0]}"
  echo "Serving the demo site at $url"
fi

dir="$jobs/$name"
mkdir -p "$dir"
echo "Job: $dir/$name.glf   mirror: $dir/mirror"
setup="$dir/$name.glf"
settings=("txtLocation=$url" "txtSaveLocation=$dir/mirror" "txtSaveLocation2=$dir/mirror"
          "txtSpacePrimary=1" "txtSpaceSecondary=1")

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The windows take no --set: write the job's settings into its setup file
  # (one [SETTINGS] section of key=value lines), replacing earlier values.
  (
    umask 077
    tmp=$(mktemp "$setup.XXXXXX")
    if [ -f "$setup" ]; then
      keys=$(printf '%s\n' "${settings[@]}" | sed 's/=.*//' | paste -sd'|')
      grep -viE "^($keys)=" "$setup" >"$tmp" || true
    else
      echo "[SETTINGS]" >"$tmp"
    fi
    printf '%s\n' "${settings[@]}" >>"$tmp"
    mv "$tmp" "$setup"
  )
  echo "Opening the job in the main window; press Begin to scan."
  "$root/build/bin/gleanery" "$setup"
else
  set_args=()
  for s in "${settings[@]}"; do set_args+=(--set "$s"); done
  "$root/build/bin/gleanery" --begin "$setup" "${set_args[@]}"
fi
