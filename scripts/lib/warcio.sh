# Sourced by the scripts (after packages.sh). The independent WARC reader:
# the npm package warcio, installed on first use into $WARCIO_DIR.
warcio() {
  local dir=${WARCIO_DIR:-/tmp/gleanery-warcio}
  command -v npx >/dev/null || need_packages nodejs npm
  if [ ! -d "$dir/node_modules/warcio" ]; then
    mkdir -p "$dir"
    (cd "$dir" && npm install --silent --no-audit --no-fund warcio@2 >/dev/null)
  fi
  (cd "$dir" && npx --no-install warcio "$@")
}

# warc_readable FILE...: every file read by warcio to its last byte. The
# reader stops early, and quietly, at a torn record, so each file's last
# record must end where the file ends.
warc_readable() {
  local files=() f
  for f in "$@"; do files+=("$(realpath "$f")"); done
  warcio index "${files[@]}" -f offset,length,filename | python3 -c '
import json, os, sys
ends = {}
for line in sys.stdin:
    r = json.loads(line)
    ends[r["filename"]] = max(ends.get(r["filename"], 0), r["offset"] + r["length"])
bad = [f for f in sys.argv[1:] if ends.get(os.path.basename(f)) != os.path.getsize(f)]
for f in bad: print(f"  not readable to its end: {f} ({ends.get(os.path.basename(f))} of {os.path.getsize(f)} bytes)")
print(f"{len(sys.argv) - 1 - len(bad)} of {len(sys.argv) - 1} WARC files readable to their end")
sys.exit(1 if bad else 0)' "${files[@]}"
}
