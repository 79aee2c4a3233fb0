#!/usr/bin/env bash
# Times the upload of a 500-vehicle inventory with 15 photos each to a local FTP server against "curl -T" of the
# same tmq_upload.zip to the same server, in the same run: through the window (bench_upload_window clicks "Weiter"
# and waits for the completion page; it also times "zip -0" of the same members followed by "sync" against the
# window's build of tmq_upload.zip, which is flushed to the medium too) and through "tarmelo-cli upload".
# Usage: bench/upload_vs_curl.sh path/to/tarmelo-cli [runs] [path/to/bench_upload_window]
set -euo pipefail
cli=$1
runs=${2:-3}
window=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data TARMELO_PASSWORD=geheim
python=/usr/bin/python3

convert -size 640x480 plasma:fractal -quality 90 "$work/foto.jpg"
cat >"$work/one.json" <<'JSON'
[{"klasse": 1, "marke": "BMW", "modell": "320d", "kategorie": "Kombi", "ez": "03-2021", "kilometer": "48500",
  "preis": 28900, "inr": "N"}]
JSON
"$cli" build --typed-numbers "$work/one.json" "$work/one.csv" >/dev/null
# 500 lines with their own typed keys, 15 photos each.
"$python" - "$work" <<'PY'
import sys, zipfile
work = sys.argv[1]
line = open(work + "/one.csv", "rb").read().split(b"\r\n")[0]
rest = line.split(b";", 2)[2]
photo = open(work + "/foto.jpg", "rb").read()
with zipfile.ZipFile(work + "/inventory.zip", "w") as z:
    z.writestr("fzg.csv", b"".join(b'%d;"N%d";' % (i, i) + rest + b"\r\n" for i in range(1, 501)),
               compress_type=zipfile.ZIP_DEFLATED)
    for i in range(1, 501):
        for k in range(1, 16):
            z.writestr("%d_%d.jpg" % (i, k), photo)  # an inventory names photos by position
PY
mkdir -p "$work/ftp"
"$python" "$root/tests/support/ftp_server.py" --root "$work/ftp" >"$work/port" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -1 "$work/port")
printf '[Servers]\nFtpServer=127.0.0.1:%s\n' "$port" >"$work/servers.ini"

if [ -n "$window" ]; then
    mkdir -p "$work/window"
    "$window" "$port" "$work/foto.jpg" "$work/window" "$runs"
    rm -rf "$work/window" "$work/ftp"/*
fi

now() { date +%s.%N; }
for r in $(seq "$runs"); do
    t0=$(now)
    "$cli" upload --servers "$work/servers.ini" --user haendler --typed-numbers "$work/inventory.zip" >/dev/null
    t1=$(now)
    curl -sS -u haendler:geheim -T "$work/data/tarmelo/tmq_upload.zip" "ftp://127.0.0.1:$port/curl.zip"
    t2=$(now)
    size=$(stat -c %s "$work/data/tarmelo/tmq_upload.zip")
    printf 'run %s: %s bytes; tarmelo-cli upload (read, check, build, send) %.2f s; curl -T %.2f s\n' \
        "$r" "$size" "$(echo "$t1 - $t0" | bc)" "$(echo "$t2 - $t1" | bc)"
done
