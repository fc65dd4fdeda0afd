#!/usr/bin/env bash
# The WARC archive judged by an independent reader: serves a site folder on
# 127.0.0.1 without compression (python3's http.server), grabs it with
# --warc, lists every archive file with warcio (the npm package) and checks
# that each page and file the work store holds has exactly one 200 response
# whose payload digest is the SHA-1 of the served file, and that each
# archive file reads to its end. WARC_CHECK_TWICE=1 lets a transfer appear
# twice (one cut by a kill was done again).
#   scripts/warc_check.sh [SITE_DIR [URL_PATH]]   (default: the demo site, "/")
# With a SITE_DIR already served elsewhere, set WARC_CHECK_URL to its address
# and the job folder to check in WARC_CHECK_JOB to skip the grab.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
site=$(cd "${1:-$root/demo/site}" && pwd)
gleanery=${GLEANERY_BIN:-$root/build/bin/gleanery}
work=${WARC_CHECK_DIR:-/tmp/gleanery-warc-check}

source "$root/scripts/lib/packages.sh"
source "$root/scripts/lib/warcio.sh"
need_packages python3 sqlite3
[ -x "$gleanery" ] || bash "$root/scripts/setup.sh" gleanery
mkdir -p "$work"

job=${WARC_CHECK_JOB:-}
if [ -z "$job" ]; then
  port=${WARC_CHECK_PORT:-18590}
  python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port" >/dev/null 2>&1 &
  server=$!
  trap 'kill $server 2>/dev/null || true' EXIT
  for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && break; sleep 0.1; done
  job=$work/job
  rm -rf "$job"
  "$gleanery" grab "http://127.0.0.1:$port${2:-/}" "$job" --warc --connections 8 --output "$job/mirror" \
    >"$work/grab.log" 2>&1 || { cat "$work/grab.log"; exit 1; }
fi

warc_readable "$job"/*.warc.gz
warcio cdx-index "$(realpath "$job")"/*.warc.gz > "$work/index"
python3 - "$job" "$site" "$work/index" <<'PY'
import base64, glob, hashlib, json, os, sqlite3, sys, urllib.parse
job, site, index = sys.argv[1:]
found = {}
for line in open(index):
    key, stamp, fields = line.split(" ", 2)
    record = json.loads(fields)
    if record.get("status") == "200":
        found.setdefault(record["url"], []).append(record.get("digest", ""))
store = sqlite3.connect(glob.glob(os.path.join(job, "*.GLD"))[0])
held = [u for (u,) in store.execute(
    "SELECT URL FROM Routes WHERE Scanned = 1 AND Result = 200 UNION ALL "
    "SELECT URL FROM Targets WHERE Completed = 1 AND Result = 200")]
# The digest of the file an address served; None for a folder's listing,
# which the server made up.
def served(url):
    path = urllib.parse.unquote(urllib.parse.urlsplit(url).path).lstrip("/")
    file = os.path.join(site, path)
    if os.path.isdir(file): file = os.path.join(file, "index.html")
    if not os.path.isfile(file): return None
    return base64.b32encode(hashlib.sha1(open(file, "rb").read()).digest()).decode()
missing = [u for u in held if u not in found]
twice = [u for u in held if len(found.get(u, [])) > 1]
wrong = [u for u in held if u in found and served(u) not in (None, found[u][0].removeprefix("sha1:"))]
print(f"warcio lists {sum(map(len, found.values()))} responses 200; the work store holds {len(held)} "
      f"pages and files: {len(missing)} missing, {len(twice)} twice, {len(wrong)} with a digest "
      "that is not the served file's")
for u in (missing + twice + wrong)[:10]: print("  ", u)
twice = [] if os.environ.get("WARC_CHECK_TWICE") == "1" else twice
sys.exit(1 if missing or twice or wrong or not held else 0)
PY
