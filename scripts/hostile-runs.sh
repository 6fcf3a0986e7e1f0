#!/usr/bin/env bash
# Hostile runs of the news and activity feeds through the text driver, each
# printing what it saw: 200 runs killed at random moments, a full disk, a
# read-only data folder, status 500, a cut after a good probe, an element with
# 200,000 attributes, a 30 MB feed and 40,000 activities.
#
#   bash scripts/hostile-runs.sh [DRIVER]      (default build/bin/yunxiu-cli)
#
# The full disk and the read-only folder need root (a small tmpfs is mounted
# and remounted read-only); without it those two runs are skipped.
set -uo pipefail
cd "$(dirname "$0")/.."
DRIVER=${1:-build/bin/yunxiu-cli}
SIM=$(dirname "$DRIVER")/campus-sim
[ -x "$DRIVER" ] || { echo "no driver at $DRIVER (run: bash scripts/run.sh once, or name one)" >&2; exit 2; }
WORK=$(mktemp -d /tmp/yx-hostile-XXXXXX)
trap 'umount "$WORK"/mnt 2>/dev/null; rm -rf "$WORK"' EXIT
VIRTUAL=(--clock virtual --now 2026-12-07T09:30:00+08:00 --tz Asia/Taipei)

# A data folder where the profile was delivered (no first-run prompt).
prepare() {
  rm -rf "$1"; mkdir -p "$1"
  cat > "$1/settings.plist" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>個人資料</key><string>填寫過</string></dict></plist>
EOF
}
# Prints the number of records in a cache file, "MISSING" or "BROKEN".
records() {
  python3 - "$1" <<'EOF'
import plistlib, sys, os
p = sys.argv[1]
if not os.path.exists(p): print("MISSING"); sys.exit()
try: print(len(plistlib.load(open(p, "rb"))))
except Exception: print("BROKEN")
EOF
}
drive() {  # drive DATA OVERLAY COMMANDS... (prints the screens)
  local data=$1 overlay=$2; shift 2
  local extra=()
  [ -n "$overlay" ] && extra=(--sim-data "$overlay")
  printf '%s\n' "$@" | "$DRIVER" --data-dir "$data" "${VIRTUAL[@]}" "${extra[@]}"
}
last_screen() { awk '/^> /{buf=""} {buf=buf $0 "\n"} END{printf "%s", buf}'; }
news_feed() {  # news_feed ITEMS FILE
  python3 - "$1" "$2" <<'EOF'
import sys, os
n, path = int(sys.argv[1]), sys.argv[2]
os.makedirs(os.path.dirname(path), exist_ok=True)
with open(path, "w") as out:
    out.write('<?xml version="1.0" encoding="utf-8"?>\n<NewDataSet>\n')
    for i in range(n):
        out.write(f"  <news>\n    <編號>{10000+i}</編號>\n    <公告>第 {i} 則校園消息&lt;br&gt;詳情請洽分機 {2000+i%900}</公告>\n"
                  f"    <類別>行政事項</類別>\n    <活動開始日期>2026/12/01</活動開始日期>\n    <活動結束日期>2026/12/31</活動結束日期>\n  </news>\n")
    out.write("</NewDataSet>\n")
EOF
}

echo "== 200 runs killed at random moments during a news load"
D=$WORK/kill; prepare "$D"; news_feed 10000 "$WORK/big/campus/Data/xml/news-0.xml"
drive "$D" "$WORK/big" "net wifi" "tap 4" "wait 3" "quit" > /dev/null
vanished=0; broken=0; maxtmp=0
for i in $(seq 1 200); do
  printf 'net wifi\ntap 4\nwait 3\ntap 1\nquit\n' |
    "$DRIVER" --data-dir "$D" "${VIRTUAL[@]}" --sim-data "$WORK/big" > /dev/null 2>&1 &
  pid=$!
  sleep "0.$(printf '%03d' $((RANDOM % 400)))"
  kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  case $(records "$D/Documents/DownloadXml/news.plist") in
    MISSING) vanished=$((vanished + 1)) ;; BROKEN) broken=$((broken + 1)) ;;
  esac
  tmp=$(find "$D" -name '*.tmp.*' | wc -l); [ "$tmp" -gt "$maxtmp" ] && maxtmp=$tmp
done
echo "news.plist missing after $vanished runs, broken after $broken; at most $maxtmp temporary files at once"
drive "$D" "" "quit" > /dev/null
echo "temporary files after the next start: $(find "$D" -name '*.tmp.*' | wc -l); news.plist: $(records "$D/Documents/DownloadXml/news.plist") records"

if [ "$(id -u)" = 0 ] && mkdir -p "$WORK/mnt" && mount -t tmpfs -o size=256k tmpfs "$WORK/mnt" 2>/dev/null; then
  echo "== a full disk (a 256 KiB tmpfs, filled)"
  D=$WORK/mnt/data; prepare "$D"; mkdir -p "$D/Documents/DownloadXml"
  dd if=/dev/zero of="$WORK/mnt/filler" bs=4k count=1000 2>/dev/null
  drive "$D" "" "net wifi" "tap 4" "wait 1.5" | last_screen | grep -E "^screen|countLbl|row 0.0|alert" | head -5
  echo "news.plist: $(records "$D/Documents/DownloadXml/news.plist"); temporary files: $(find "$D" -name '*.tmp.*' | wc -l)"
  rm -f "$WORK/mnt/filler"
  drive "$D" "" "net wifi" "tap 4" "wait 1.5" > /dev/null
  echo "with room again, news.plist: $(records "$D/Documents/DownloadXml/news.plist") records"

  echo "== a read-only data folder holding a 3-record cache"
  python3 - "$D/Documents/DownloadXml/news.plist" <<'EOF'
import plistlib, sys
plistlib.dump([{"編號": str(i), "公告": f"舊的第{i}則", "類別": "舊", "活動開始日期": "", "活動結束日期": ""} for i in range(3)],
              open(sys.argv[1], "wb"))
EOF
  mount -o remount,ro "$WORK/mnt"
  drive "$D" "" "net wifi" "tap 4" "wait 1.5" | last_screen | grep -E "^screen|countLbl|row 0.0|alert" | head -5
  echo "news.plist still: $(records "$D/Documents/DownloadXml/news.plist") records"
  mount -o remount,rw "$WORK/mnt"; umount "$WORK/mnt"
else
  echo "== full disk and read-only folder skipped (need root to mount a tmpfs)"
fi

echo "== status 500"
D=$WORK/s500; prepare "$D"; mkdir -p "$WORK/s500o"
echo '{"/Data/xml/news-0.xml": {"status": 500}}' > "$WORK/s500o/faults.json"
drive "$D" "$WORK/s500o" "net wifi" "tap 4" "wait 1.5" "alert 0" | grep -E "^(> |screen|alert)"
echo "news.plist: $(records "$D/Documents/DownloadXml/news.plist")"

echo "== a cut after a good probe (standalone simulator; the fault changes between probe and download)"
if [ -x "$SIM" ]; then
  PORT=$((20000 + RANDOM % 20000))
  "$SIM" --port "$PORT" --log "$WORK/sim-log.jsonl" > "$WORK/sim.txt" & SIMPID=$!
  sleep 0.5
  python3 - "$WORK/sim.txt" "$WORK/deploy.json" <<'EOF'
import json, sys
print(json.dumps({k: v for k, v in (l.split() for l in open(sys.argv[1]) if l.strip())}), file=open(sys.argv[2], "w"))
EOF
  curl -s -X POST -d '{"path": "/Data/xml/news-0.xml", "delay_ms": 1500}' "http://127.0.0.1:$PORT/_sim/faults" > /dev/null
  D=$WORK/cut; prepare "$D"
  ( sleep 1.2; curl -s -X POST -d '{"path": "/Data/xml/news-0.xml", "cut_after": 300}' \
      "http://127.0.0.1:$PORT/_sim/faults" > /dev/null ) &
  printf 'net wifi\ntap 4\nwait 3\nshow\nalert 0\nquit\n' | "$DRIVER" --data-dir "$D" --config "$WORK/deploy.json" |
    grep -E "^(> |screen|alert)"
  kill "$SIMPID"; wait "$SIMPID" 2>/dev/null
  python3 - "$WORK/sim-log.jsonl" <<'EOF'
import json, sys
feed = [json.loads(l) for l in open(sys.argv[1]) if '"/Data/xml/news-0.xml"' in l]
print(f"the simulator answered the feed {len(feed)} times (probe, then download), status {[r['status'] for r in feed]}")
EOF
else
  echo "skipped: no campus-sim next to the driver"
fi

echo "== an element with 200,000 attributes"
D=$WORK/attrs; prepare "$D"
python3 - "$WORK/attrso/campus/Data/xml/news-0.xml" <<'EOF'
import sys, os
os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
attrs = " ".join(f'a{i}="1"' for i in range(200000))
open(sys.argv[1], "w").write(f"<NewDataSet><news><公告>之前</公告></news><news {attrs}><公告>之後</公告></news></NewDataSet>")
EOF
start=$(date +%s.%N)
drive "$D" "$WORK/attrso" "net wifi" "tap 4" "wait 1.5" | last_screen | grep -E "^(screen|alert)"
echo "took $(python3 -c "print(round($(date +%s.%N) - $start, 2))") s; news.plist: $(records "$D/Documents/DownloadXml/news.plist") records"

echo "== a 30 MB feed"
D=$WORK/big30; prepare "$D"; news_feed 120000 "$WORK/big30o/campus/Data/xml/news-0.xml"
size=$(stat -c %s "$WORK/big30o/campus/Data/xml/news-0.xml")
/usr/bin/time -f "%M" -o "$WORK/rss" "$DRIVER" --data-dir "$D" "${VIRTUAL[@]}" --sim-data "$WORK/big30o" \
  < <(printf 'net wifi\ntap 4\nwait 3\n') | last_screen | grep -E "^(screen|label countLbl|alert)"
python3 -c "print(f'peak resident {$(cat "$WORK/rss")/1024:.0f} MB for a {$size/2**20:.1f} MB feed: {$(cat "$WORK/rss")*1024/$size:.1f}x')"

echo "== 40,000 activities"
D=$WORK/acts; prepare "$D"
python3 - "$WORK/actso/campus/Data/xml/act-0.xml" <<'EOF'
import sys, os
os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
with open(sys.argv[1], "w") as out:
    out.write("<NewDataSet>\n")
    for i in range(40000):
        out.write(f"<act><課程名稱>研習第{i}期</課程名稱><開課類別>研習活動</開課類別><上課地點>雲岫樓</上課地點>"
                  f"<上課起始時間>2026-12-01T09:30:00+08:00</上課起始時間><連結編號>A{i}</連結編號></act>\n")
    out.write("</NewDataSet>\n")
EOF
start=$(date +%s.%N)
drive "$D" "$WORK/actso" "net wifi" "tap 6" "wait 1.5" "row 0 39999" | last_screen | grep -E "^(screen|text)" | cut -c1-80
echo "usable after $(python3 -c "print(round($(date +%s.%N) - $start, 2))") s (list, then the last row's detail)"
