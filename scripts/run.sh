#!/usr/bin/env bash
# Sets up and builds Gleanery (scripts/setup.sh), then runs its main job: a
# scan. Given a site address it grabs that site; given none it grabs a small
# demo site that it serves itself on 127.0.0.1.
#   scripts/run.sh [URL]
# The job's setup file and mirror go to ~/Gleanery/<name>/ (GLEANERY_JOBS overrides).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
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
"$root/build/bin/gleanery" --begin "$dir/$name.glf" \
  --set "txtLocation=$url" --set "txtSaveLocation=$dir/mirror" --set "txtSaveLocation2=$dir/mirror" \
  --set "txtSpacePrimary=1" --set "txtSpaceSecondary=1"
