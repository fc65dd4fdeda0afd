#!/usr/bin/env bash
# Takes the README's screenshots under a virtual X display: the job window
# idle, and the running view in the middle of a scan with its connection
# panes busy. The site is generated and served with nginx behind 150 ms of
# added latency, so the scan is slow enough to be caught at work.
#   scripts/screenshots.sh [OUT_DIR]      (default docs/screenshots)
# Needs xvfb, xdotool, imagemagick, nginx and python3 (installed when
# missing) and the shared bench tools beside the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
out=${1:-$root/docs/screenshots}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}
data=$(dirname "$gleanery")/../share/gleanery
port=${SHOT_PORT:-18780}
display=:${SHOT_DISPLAY:-77}

source "$root/scripts/lib/packages.sh"
need_packages xvfb xdotool imagemagick nginx python3
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh"

work=$(mktemp -d)
chmod 755 "$work"  # nginx reads the site as another user
xvfb_pid=""; app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  bash "$tools/serve.sh" stop "$port" 2>/dev/null || true
  [ -n "${SHOT_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# A home of its own: the program's data, the connection limit already
# raised (no question at start-up) and no update check.
home=$work/home
mkdir -p "$home"
cp -r "$data"/BLANK.GLD "$data"/HELP "$data"/inet.reg "$home"/
printf '[SETTINGS]\nCHECKUPDATE=False\n' > "$home/GLSETUP.INI"

python3 "$tools/gen_site.py" "$work/site" --pages 80 --host "localhost:$((port + 1))" > /dev/null
url=$(bash "$tools/serve.sh" start "$work/site" "$port" 150)
cat > "$work/site.glf" <<SETUP
[SETTINGS]
txtLocation=$url
txtSaveLocation=$work/mirror
txtSaveLocation2=$work/mirror
txtSpacePrimary=1
txtSpaceSecondary=1
chkThumbnail=1
SETUP

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display GLEANERY_HOME=$home
for _ in $(seq 50); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done

"$gleanery" "$work/site.glf" > "$work/gleanery.log" 2>&1 &
app_pid=$!
# The first start offers to raise the connection limit: accept it.
if question=$(xdotool search --sync --onlyvisible --name "Allow Registry Changes" 2>/dev/null | head -1); then
  xdotool windowfocus --sync "$question" key Return
fi
main=$(xdotool search --sync --onlyvisible --name "Gleanery Configuration" | head -1)
xdotool windowmove --sync "$main" 0 0 windowsize --sync "$main" 1280 800
sleep 2
mkdir -p "$out"
import -window root "$out/job-window.png"

# Begin is the third button of the toolbar, below the menu bar; the warning
# that follows is answered with OK.
xdotool mousemove --window "$main" 66 34 click 1
warning=$(xdotool search --sync --onlyvisible --name "^Gleanery$" | grep -v "^$main$" | head -1 || true)
[ -n "$warning" ] && xdotool windowfocus --sync "$warning" key Return
sleep 6
import -window root "$out/running-view.png"
echo "Screenshots written to $out"
