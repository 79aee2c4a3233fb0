#!/usr/bin/env bash
# tarmelo-cli update --check against a local update server: printed versions, messages and exit codes.
set -u
cli=$1
root=$2
work=$(mktemp -d)
server_pid=
trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/common.sh"

mkdir -p "$work/www/tmq/update"
python3 "$root/tests/support/http_server.py" "$work/www" >"$work/port" &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -1 "$work/port")
printf '[Servers]\nUpdateServer=http://127.0.0.1:%s\n' "$port" >"$work/servers.ini"
# A port nothing listens on: the one of a server that has ended.
python3 "$root/tests/support/http_server.py" "$work" >"$work/deadport" & dead=$!
for _ in $(seq 1 100); do [ -s "$work/deadport" ] && break; sleep 0.1; done
kill "$dead"; wait "$dead" 2>/dev/null
printf '[Servers]\nUpdateServer=http://127.0.0.1:%s\n' "$(head -1 "$work/deadport")" >"$work/dead.ini"

# description | switch file | version file | exit code | expected output fragment
while IFS='|' read -r what switch version code fragment; do
    printf '%b' "$switch" >"$work/www/tmq/update/update_enabled.txt"
    printf '%b' "$version" >"$work/www/tmq/update/version.php"
    out=$("$cli" update --check --servers "$work/servers.ini" 2>&1)
    rc=$?
    if [ "$rc" -eq "$code" ] && grep -qF -- "$fragment" <<<"$out" &&
        grep -qF "Installierte Programmversion: 3.70  (10.02.2011)" <<<"$out"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s (exit %s, wanted %s)\n%s\n' "$what" "$rc" "$code" "$out"
    fi
done <<'CASES'
newer|1\r\n|version\r\n3.71\r\n01.03.2011\r\nauthorized_update\r\n|10|Verfügbare Programmversion: 3.71  (01.03.2011)
same|1|version\n3.70\n10.02.2011\nauthorized_update\n|0|Sie verfügen bereits über die aktuellste Version von Tarmelo!
older|1|version\n3.69\n01.01.2011\nauthorized_update\n|0|Verfügbare Programmversion: 3.69  (01.01.2011)
maintenance|0|version\n3.71\nx\nauthorized_update\n|6|Der Update-Server wird zurzeit gewartet.
message|1|version\n3.71\n01.03.2011\nBitte Lizenz verlängern\n|6|Bitte Lizenz verlängern
bad version|1|version\n3.8\n01.03.2011\nauthorized_update\n|4|Tarmelo konnte die Update-Informationen nicht verarbeiten.
not a version file|1|<html>Fehler</html>\n|4|Verfügbare Programmversion: -
CASES

expect "unreachable server" 4 "Tarmelo konnte keine Verbindung zum Update-Server herstellen." \
    "$cli" update --check --servers "$work/dead.ini"
# A program copied away from its lib/tarmelo folder has no network module: it says so instead of "no connection".
mkdir -p "$work/bin"
cp "$cli" "$work/bin/"
expect "missing network module" 4 "(libtarmelo-net.so) fehlt" \
    "$work/bin/$(basename "$cli")" update --check --servers "$work/servers.ini"
expect "usage" 2 "" "$cli" update

finish "update --check"
