#!/usr/bin/env bash
# How faithful a mirror is: serves a static site with nginx on loopback,
# grabs it with `gleanery --begin` (8 connections, depth 1000, other settings
# default) and with `wget -r -l inf -k -p -e robots=off`, judges both mirrors
# against the served files with mirror_check.py and prints one table: pages
# and files stored, pages whose line structure, visible text or inline
# scripts changed, local references that resolve, that the grab broke, that
# were broken on the served site already and that still point online, and
# wall time. With --browse it also opens every stored page in headless
# Chromium (browse.js) and adds failed local loads, pages not rendered as
# HTML and requests that would go online.
#   bench/mirror_fidelity.sh [--browse] SITE [NAME] [GLEANERY_ARG...]
# SITE is a folder to serve, `generated` (gen_site.py, PAGES pages, default
# 300), or one of these Debian documentation sites (installed when missing):
#   python-docs  python3.11-doc  /usr/share/doc/python3.11/html   (Sphinx, 530 pages)
#   git-docs     git-doc         /usr/share/doc/git-doc           (AsciiDoc, 241 pages)
#   sphinx-docs  sphinx-doc      /usr/share/doc/sphinx-doc/html   (Sphinx, 137 pages)
# Arguments after NAME go to Gleanery, e.g. --set 'txtFileTypesNon=GIF CSS PNG'.
# Results and both mirrors stay in BENCH_DIR (default /tmp/gleanery-fidelity/NAME).
# Needs nginx, wget, python3 and bc (installed when missing), with --browse
# also chromium and npm (puppeteer-core is installed under BROWSE_DIR, default
# /tmp/gleanery-browse), and the shared bench tools beside the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${GLEANERY_BENCH_TOOLS:-$root/../shared/bench}
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}
browse=0
[ "${1:-}" = --browse ] && { browse=1; shift; }
site=${1:?usage: mirror_fidelity.sh [--browse] SITE [NAME] [GLEANERY_ARG...]}
name=${2:-$(basename "$site")}
shift $(($# < 2 ? $# : 2))
work=${BENCH_DIR:-/tmp/gleanery-fidelity/$name}

source "$root/scripts/lib/packages.sh"
need_packages nginx wget python3 bc
if [ $browse = 1 ]; then
  need_packages chromium
  command -v npm > /dev/null || need_packages npm  # nodejs from other sources brings its own
fi
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh"

package=""
case $site in
  python-docs) package=python3.11-doc docroot=/usr/share/doc/python3.11/html ;;
  git-docs) package=git-doc docroot=/usr/share/doc/git-doc ;;
  sphinx-docs) package=sphinx-doc docroot=/usr/share/doc/sphinx-doc/html ;;
  generated) docroot="" ;;
  *) docroot=$(cd "$site" && pwd) ;;
esac
[ -n "$package" ] && need_packages "$package"

# A free port, asked of the kernel; nginx takes it a moment later.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
url="http://localhost:$port/"
host="localhost:$port"

rm -rf "$work"; mkdir -p "$work"
if [ -z "$docroot" ]; then
  # Absolute links of the generated site must name the host it is fetched from.
  python3 "$tools/gen_site.py" "$work/site" --pages "${PAGES:-300}" --host "$host" > /dev/null
else
  # Debian's doc packages link scripts into /usr/share/javascript: copy the
  # site with its links resolved, so what is served and what the mirrors are
  # judged against is one self-contained folder.
  cp -rL "$docroot" "$work/site" 2> "$work/copy.log" || echo "some files not copied, see $work/copy.log" >&2
  # Debian also compresses large pages (python's whatsnew/changelog.html);
  # published, they are plain pages that others link to.
  find "$work/site" -name '*.html.gz' -exec gunzip {} +
fi
trap 'bash "$tools/serve.sh" stop "$port"' EXIT
bash "$tools/serve.sh" start "$work/site" "$port" > /dev/null

# One timed grab: TOOL DIR COMMAND...; the mirror lands in DIR/HOST:PORT.
grab() {
  local tool=$1 dir=$2; shift 2
  mkdir -p "$dir"
  local t0 rc=0
  t0=$(date +%s.%N)
  ( cd "$dir" && timeout "${FIDELITY_TIMEOUT:-900}" "$@" ) > "$work/$tool.log" 2>&1 || rc=$?
  echo "$(echo "$(date +%s.%N) - $t0" | bc) $rc" > "$work/$tool.run"
  python3 "$tools/mirror_check.py" "$dir/$host" "$work/site" --json > "$work/$tool.check.json"
  if [ $browse = 1 ]; then
    node "$browse_dir/browse.js" "$dir/$host" > "$work/$tool.browse" 2> "$work/$tool.browse.log" || true
  fi
}

if [ $browse = 1 ]; then
  # browse.js finds puppeteer-core beside itself, so it runs from a copy.
  browse_dir=${BROWSE_DIR:-/tmp/gleanery-browse}
  mkdir -p "$browse_dir"
  [ -d "$browse_dir/node_modules/puppeteer-core" ] ||
    (cd "$browse_dir" && npm install --silent --no-save puppeteer-core@25 > /dev/null)
  cp "$tools/browse.js" "$browse_dir/"
fi

grab gleanery "$work/gleanery" "$gleanery" --begin "$work/gleanery/site.glf" \
  --set "txtLocation=$url" --set "txtSaveLocation=$work/gleanery" --set "txtSaveLocation2=$work/gleanery" \
  --set "txtSpacePrimary=0" --set "txtSpaceSecondary=0" --set "cboConnections=8" --set "cboMaxDepth=36" "$@"
grab wget "$work/wget" wget -r -l inf -k -p -nv -e robots=off "$url"

python3 - "$work" "$name" $browse <<'PY'
import json, sys
work, name, browse = sys.argv[1], sys.argv[2], sys.argv[3] == "1"
cols = [("tool", 9), ("pages", 7), ("files", 7), ("lines", 7), ("text", 6), ("scripts", 8),
        ("resolved", 9), ("broken", 7), ("at src", 7), ("online", 7), ("wall s", 8)]
if browse:
    cols += [("load fails", 11), ("pgs w/ fail", 12), ("not html", 9), ("online req", 11)]
print(f"\n{name}: mirror fidelity")
print("".join(f"{c:>{w}}" if i else f"{c:<{w}}" for i, (c, w) in enumerate(cols)))
for tool in ("gleanery", "wget"):
    r = json.load(open(f"{work}/{tool}.check.json"))
    wall, rc = open(f"{work}/{tool}.run").read().split()
    row = [tool, r["pages"], r["files"], r["lines"], r["text"], r["scripts"],
           r["resolved"], r["broken"], r["broken_at_source"], r["online"], f"{float(wall):.2f}"]
    if browse:
        try:
            b = json.loads(open(f"{work}/{tool}.browse").readline())
            row += [b["missingLocal"], b["pagesWithMissing"], b["notHtml"], b["onlineRequests"]]
        except (ValueError, KeyError):
            row += ["-"] * 4
    line = "".join(f"{v:>{w}}" if i else f"{v:<{w}}" for i, (v, (_, w)) in enumerate(zip(row, cols)))
    print(line + (f"  (exit {rc})" if rc != "0" else ""))
print("\nlines/text/scripts: stored pages changed against the served ones; resolved/broken/at src/online:"
      "\nlocal references in stored pages (wget exits 8 when some addresses answered with an error)."
      f"\nExamples in {work}/*.check.json, logs in {work}/*.log")
PY
