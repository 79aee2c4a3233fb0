#!/usr/bin/env bash
# Drives tarmelo-cli upload and download against FTP and web log-in servers started here on 127.0.0.1.
set -u
cli=$1
root=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data TARMELO_SETTLE_MS=0
unset TARMELO_PASSWORD
python=/usr/bin/python3
[ -x "$python" ] || python=python3
. "$(dirname "$0")/common.sh"

# start_server NAME SCRIPT ARGS...: the port ends up in $work/NAME.port
start_server() {
    local name=$1 script=$2
    shift 2
    "$python" "$root/tests/support/$script" "$@" >"$work/$name.port" 2>"$work/$name.err" &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$work/$name.port" ] && return 0
        sleep 0.1
    done
    echo "server $name did not start"; cat "$work/$name.err"; exit 1
}

mkdir -p "$work/ftp" "$work/config/tarmelo"
convert -size 320x240 gradient:red-blue "$work/foto.jpg"
cat >"$work/in.json" <<'JSON'
[{"klasse": 1, "marke": "BMW", "modell": "320d", "kategorie": "Kombi", "ez": "03-2021", "kilometer": "48500",
  "preis": 28900, "inr": "A-1", "bilder": ["foto.jpg", "foto.jpg"]},
 {"klasse": 9, "marke": "Kubota", "modell": "KX 019", "kategorie": "Baugeräte", "bj": "2019", "preis": 19800,
  "inr": "B-2"}]
JSON
now=(--now 2026-12-01T12:00:00)
"$cli" build --typed-numbers "${now[@]}" "$work/in.json" "$work/bestand.zip" >/dev/null || { echo "build failed"; exit 1; }

start_server ftp ftp_server.py --root "$work/ftp"
ftp_port=$(head -1 "$work/ftp.port")
printf '[Servers]\nFtpServer=127.0.0.1:%s\n' "$ftp_port" >"$work/servers.ini"
nothing=$("$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
printf '[Servers]\nFtpServer=127.0.0.1:%s\nLoginServer=http://127.0.0.1:%s\nDealerServer=http://127.0.0.1:%s\n' \
    "$nothing" "$nothing" "$nothing" >"$work/nothing.ini"

srv=(--servers "$work/servers.ini")
log=$work/data/tarmelo/tmq_protokoll.jsonl
expect "preview before the first upload" 0 "2 neu, 0 geändert, 0 unverändert, 0 zurückgezogen, 0 mit neuer Nummer" \
    "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" --preview "$work/bestand.zip"
expect "a preview sends nothing" 1 "" test -e "$work/ftp/tmq_upload.zip"
expect "upload with typed numbers" 0 "Der Fahrzeugbestand wurde erfolgreich übertragen." \
    bash -c "echo geheim | '$cli' upload ${srv[*]} --user haendler --password-stdin --typed-numbers ${now[*]} '$work/bestand.zip'"
expect "plain FTP says so" 0 "Verbindung unverschlüsselt" env TARMELO_PASSWORD=geheim \
    "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" "$work/bestand.zip"
expect "history of the upload" 0 '"result":"übertragen"' cat "$log"
sed 's/"inr": "B-2"}/"inr": "B-2", "status": "verkauft"}/' "$work/in.json" >"$work/sold.json"
"$cli" build --typed-numbers "${now[@]}" "$work/sold.json" "$work/verkauft.zip" >/dev/null
expect "a sold vehicle is not in the preview" 0 "1 neu, 0 geändert, 0 unverändert, 0 zurückgezogen" \
    "$cli" upload "${srv[@]}" --user dritter --typed-numbers "${now[@]}" --preview "$work/verkauft.zip"
expect "nor named there" 0 "" bash -c "! '$cli' upload ${srv[*]} --user dritter --typed-numbers ${now[*]} --preview '$work/verkauft.zip' | grep -q B-2"
expect "preview after it" 0 "unverändert	A-1	A-1	BMW 320d" \
    "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" --preview "$work/bestand.zip"
# The other vehicle alone: every listed one would disappear.
cat >"$work/other.json" <<'JSON'
[{"klasse": 1, "marke": "Audi", "modell": "A4", "kategorie": "Limousine", "ez": "03-2020", "kilometer": "1000",
  "preis": 20000, "inr": "C-3"}]
JSON
"$cli" build --typed-numbers "${now[@]}" "$work/other.json" "$work/other.zip" >/dev/null
expect "withdrawing every listed vehicle is refused" 1 "Die Übertragung zöge 2 der 2 bei Karvento eingestellten" \
    env TARMELO_PASSWORD=geheim "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" "$work/other.zip"
expect "the refused upload sent nothing" 0 "A-1_2.jpg" unzip -l "$work/ftp/tmq_upload.zip"
expect "preview names the withdrawn" 0 "zurückgezogen	B-2	B-2	KUBOTA KX 019" \
    "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" --preview "$work/other.zip"
expect "allowed withdrawal" 0 "erfolgreich" env TARMELO_PASSWORD=geheim \
    "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" --allow-withdrawal "$work/other.zip"
expect "the record is per user" 0 "Keine frühere Übertragung" \
    "$cli" upload "${srv[@]}" --user zweiter --typed-numbers "${now[@]}" --preview "$work/other.zip"
# A proxy in the environment is not the upload's; one named in servers.ini must tunnel, and one that answers
# 502 is no success.
start_server proxy http_proxy.py --refuse --log "$work/proxy.log"
proxy=http://127.0.0.1:$(head -1 "$work/proxy.port")
expect "proxy variables ignored" 0 "erfolgreich" env TARMELO_PASSWORD=geheim ftp_proxy="$proxy" all_proxy="$proxy" \
    "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" --allow-withdrawal "$work/bestand.zip"
expect "proxy never asked" 1 "" test -s "$work/proxy.log"
printf '[Servers]\nFtpServer=127.0.0.1:%s\nFtpProxy=%s\n' "$ftp_port" "$proxy" >"$work/proxied.ini"
expect "a proxy answering 502 is no success" 4 "Tarmelo konnte keine Verbindung zu Karvento herstellen." \
    env TARMELO_PASSWORD=geheim "$cli" upload --servers "$work/proxied.ini" --user haendler --typed-numbers \
    "${now[@]}" "$work/bestand.zip"
expect "history of the failed upload" 0 '"result":"Tarmelo konnte keine Verbindung' cat "$log"
# A server that stops answering at STOR: the upload gives up after the stall time instead of waiting for ever.
mkdir -p "$work/hang"
start_server hang ftp_server.py --root "$work/hang" --hang-on STOR
printf '[Servers]\nFtpServer=127.0.0.1:%s\n' "$(head -1 "$work/hang.port")" >"$work/hang.ini"
expect "silent server ends the upload" 4 "" timeout 30 env TARMELO_PASSWORD=geheim TARMELO_STALL_SECONDS=2 \
    "$cli" upload --servers "$work/hang.ini" --user haendler --typed-numbers "${now[@]}" "$work/bestand.zip"
expect "photos named after the typed keys" 0 "A-1_2.jpg" unzip -l "$work/ftp/tmq_upload.zip"
expect "time-stamped keys" 0 "" env TARMELO_PASSWORD=geheim \
    "$cli" upload "${srv[@]}" --user haendler --reset-days --typed-numbers "${now[@]}" "$work/bestand.zip"
expect "photos named after the time-stamped keys" 0 "011226_120000_1_" unzip -l "$work/ftp/tmq_upload.zip"
expect "wrong password" 3 "Benutzername und/oder Kennwort falsch. Eingaben überprüfen!" env TARMELO_PASSWORD=falsch \
    "$cli" upload "${srv[@]}" --user haendler "$work/bestand.zip"
expect "nothing listening" 4 "Proxy-Sever oder eine Firewall nutzen" env TARMELO_PASSWORD=geheim \
    "$cli" upload --servers "$work/nothing.ini" --user haendler "$work/bestand.zip"
expect "no user name" 2 "Bitte geben Sie Ihren Karvento-Benutzernamen ein!" env TARMELO_PASSWORD=geheim \
    "$cli" upload "${srv[@]}" "$work/bestand.zip"
expect "unreadable file" 2 "kann nicht gelesen werden" "$cli" upload "${srv[@]}" --user h "$work/fehlt.zip"
expect "unknown option" 2 "Unbekannte Option" "$cli" upload --nix "$work/bestand.zip"
# A server that offers TLS: control and data connection encrypted, its certificate trusted through CaCertificates.
mkdir -p "$work/ftps" "$work/certs"
start_server ftps ftp_server.py --root "$work/ftps" --tls "$work/certs" --log "$work/ftps.log"
printf '[Servers]\nFtpServer=127.0.0.1:%s\nCaCertificates=%s\n' "$(head -1 "$work/ftps.port")" "$work/certs/ca.pem" \
    >"$work/ftps.ini"
expect "upload over TLS" 0 "erfolgreich" env TARMELO_PASSWORD=geheim \
    "$cli" upload --servers "$work/ftps.ini" --user haendler --typed-numbers "${now[@]}" "$work/bestand.zip"
expect "TLS file arrived whole" 0 "A-1_2.jpg" unzip -l "$work/ftps/tmq_upload.zip"
expect "data connection encrypted" 0 "DATA-TLS" cat "$work/ftps.log"
printf '[Servers]\nFtpServer=127.0.0.1:%s\n' "$(head -1 "$work/ftps.port")" >"$work/untrusted.ini"
expect "untrusted certificate" 4 "Proxy-Sever" env TARMELO_PASSWORD=geheim \
    "$cli" upload --servers "$work/untrusted.ini" --user haendler "$work/bestand.zip"
# The saved log-in of config.ini (scrambled password "geheim" with the key "kvzq").
printf '[Login]\nUsername=haendler\nPassword=0C131214021B\nSavePassword=1\n' >"$work/config/tarmelo/config.ini"
expect "saved user and password" 0 "erfolgreich" "$cli" upload "${srv[@]}" "$work/bestand.zip"
rm "$work/config/tarmelo/config.ini"
# Two lines with the same typed key.
"$cli" build --typed-numbers "${now[@]}" "$work/in.json" "$work/lines.csv" >/dev/null
{ head -1 "$work/lines.csv"; head -1 "$work/lines.csv" | sed 's/^1;/2;/'; } >"$work/bad.csv"
expect "typed numbers must differ" 1 "Fahrzeug 2:" env TARMELO_PASSWORD=geheim \
    "$cli" upload "${srv[@]}" --user haendler --typed-numbers "${now[@]}" "$work/bad.csv"

start_server web login_server.py --archive "$work/bestand.zip"
web=$(head -1 "$work/web.port")
printf '[Servers]\nLoginServer=http://127.0.0.1:%s\nDealerServer=http://127.0.0.1:%s\n' "$web" "$web" >"$work/web.ini"
start_server empty login_server.py --size 0
empty=$(head -1 "$work/empty.port")
printf '[Servers]\nLoginServer=http://127.0.0.1:%s\nDealerServer=http://127.0.0.1:%s\n' "$empty" "$empty" >"$work/empty.ini"
expect "download" 0 "2 Fahrzeuge" env TARMELO_PASSWORD=geheim \
    "$cli" download --servers "$work/web.ini" --user haendler "$work/geladen"
expect "download saved as archive" 0 "KX 019" "$cli" dump "$work/geladen.zip"
# Copied away from its lib/tarmelo folder, the program has no network module and says so.
mkdir -p "$work/alone"
cp "$cli" "$work/alone/"
expect "download without the network module" 4 "(libtarmelo-net.so) fehlt" env TARMELO_PASSWORD=geheim \
    "$work/alone/$(basename "$cli")" download --servers "$work/web.ini" --user haendler "$work/nichts"
expect "download kept as tmq_download.zip" 0 "" test -s "$work/data/tarmelo/tmq_download.zip"
expect "wrong password gets a faulty file" 5 "fehlerhaft" env TARMELO_PASSWORD=falsch \
    "$cli" download --servers "$work/web.ini" --user haendler "$work/x"
expect "empty answer is faulty" 5 "fehlerhaft" env TARMELO_PASSWORD=geheim \
    "$cli" download --servers "$work/empty.ini" --user haendler "$work/x"
expect "download without connection" 4 "Tarmelo konnte keine Verbindung zu Karvento herstellen." \
    env TARMELO_PASSWORD=geheim "$cli" download --servers "$work/nothing.ini" --user haendler "$work/x"
expect "download needs one file" 2 "" env TARMELO_PASSWORD=geheim "$cli" download --servers "$work/web.ini"

finish "cli transfer tests"
