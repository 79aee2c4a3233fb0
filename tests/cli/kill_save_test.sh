#!/usr/bin/env bash
# Kills `tarmelo-cli convert` onto an existing archive at random moments: the target must always be the
# complete old or the complete new archive, and the next save removes what the killed ones left behind.
set -u
cli=$1
runs=${2:-50}
work=$(mktemp -d)
# Backups and settings go to the scratch folder, never to the home folder.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
trap 'rm -rf "$work"' EXIT
fail() { printf 'FAILED: %s\n' "$*"; exit 1; }

# Photos below the reduction threshold, so they are taken as they are.
for i in 1 2 3; do
    convert -size 320x240 plasma:fractal -quality 90 "$work/p$i.jpg" || fail "ImageMagick"
done
make_json() { # vehicles, model prefix
    local n=$1 prefix=$2
    printf '['
    for ((i = 1; i <= n; i++)); do
        [ "$i" -gt 1 ] && printf ','
        printf '{"klasse": 1, "marke": "BMW", "modell": "%s %d", "kategorie": "Kombi", "ez": "03-2021",' "$prefix" "$i"
        printf ' "kilometer": "%d", "preis": %d, "bilder": ["p1.jpg", "p2.jpg", "p3.jpg", "p1.jpg", "p2.jpg"]}' \
            "$((1000 + i))" "$((10000 + i))"
    done
    printf ']\n'
}
make_json 40 alt >"$work/alt.json"
make_json 80 neu >"$work/neu.json"
now=(--now 2026-12-01T12:00:00)
"$cli" build "${now[@]}" "$work/alt.json" "$work/alt.zip" >/dev/null || fail "build old"
"$cli" build "${now[@]}" "$work/neu.json" "$work/quelle.zip" >/dev/null || fail "build source"

# What an archive holds, independent of member time stamps; empty when it does not pass as a whole.
content() {
    unzip -tqq "$1" >/dev/null 2>&1 || return 0
    python3 - "$1" <<'PY'
import hashlib, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    h = hashlib.sha256()
    for i in sorted(z.infolist(), key=lambda i: i.filename):
        h.update(i.filename.encode() + b"\0" + z.read(i) + b"\0")
    print(h.hexdigest())
PY
}
old_content=$(content "$work/alt.zip")
start=$(date +%s%N)
"$cli" convert "${now[@]}" "$work/quelle.zip" "$work/neu.zip" >/dev/null || fail "reference convert"
duration_us=$((($(date +%s%N) - start) / 1000))
new_content=$(content "$work/neu.zip")
[ -n "$old_content" ] && [ -n "$new_content" ] && [ "$old_content" != "$new_content" ] || fail "reference archives"

target="$work/ziel/bestand.zip"
mkdir -p "$work/ziel"
cp "$work/alt.zip" "$target"
olds=0 news=0 leftovers_seen=0
for ((run = 1; run <= runs; run++)); do
    "$cli" convert "${now[@]}" "$work/quelle.zip" "$target" >/dev/null 2>&1 &
    pid=$!
    # A moment from the later part of reading to past the end of a run (a loaded machine runs slower).
    delay_us=$((RANDOM * 32768 + RANDOM))
    delay_us=$((duration_us / 2 + delay_us % (duration_us * 3 / 2 + 1)))
    sleep "$(printf '0.%06d' "$delay_us")" 2>/dev/null || sleep "$((delay_us / 1000000))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    got=$(content "$target")
    if [ "$got" = "$old_content" ]; then
        olds=$((olds + 1))
    elif [ "$got" = "$new_content" ]; then
        news=$((news + 1))
        cp "$work/alt.zip" "$target" # the next run replaces the old one again
    else
        fail "run $run (after ${delay_us} us): the target is neither the old nor the new archive"
    fi
    n=$(find "$work/ziel" -name '.bestand.zip.*' | wc -l)
    [ "$n" -gt 0 ] && leftovers_seen=$((leftovers_seen + 1))
    # Only temporary files of our pattern may appear beside the target.
    others=$(find "$work/ziel" -mindepth 1 ! -name 'bestand.zip' ! -name '.bestand.zip.*' | wc -l)
    [ "$others" -eq 0 ] || fail "run $run left foreign files: $(ls -A "$work/ziel")"
done

# A complete save removes every leftover of the killed ones.
"$cli" convert "${now[@]}" "$work/quelle.zip" "$target" >/dev/null || fail "final convert"
[ "$(content "$target")" = "$new_content" ] || fail "final archive"
left=$(ls -A "$work/ziel")
[ "$left" = "bestand.zip" ] || fail "after the final save: $left"
printf 'kill test: %d runs, %d old, %d new, %d with leftovers until the next save (save takes %d us)\n' \
    "$runs" "$olds" "$news" "$leftovers_seen" "$duration_us"
