#!/usr/bin/env bash
# Drives tarmelo-cli on real files: build, dump, check, and the exit codes of failures.
set -u
cli=$1
root=$2
work=$(mktemp -d)
# Backups and settings go to the scratch folder, never to the home folder.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/common.sh"

now=(--now 2026-12-01T12:00:00)

# A valid inventory with a photo.
convert -size 800x600 gradient:blue-yellow "$work/foto.jpg"
cat >"$work/in.json" <<'JSON'
[{"klasse": 1, "marke": "BMW", "modell": "320d \"Touring\"", "kategorie": "Kombi", "ez": "03-2021",
  "kilometer": "48500", "preis": 28900, "mwst": "19%", "inr": "A-1", "memo": "Zeile 1\r\nZeile 2",
  "bilder": ["foto.jpg"]},
 {"klasse": 9, "marke": "Kubota", "modell": "KX 019", "kategorie": "Baugeräte", "bj": "2019", "preis": 19800,
  "inr": "a-1"}]
JSON
expect "build automatic numbers" 0 "" "$cli" build "${now[@]}" "$work/in.json" "$work/out.csv"
expect "two CR LF lines" 0 "2" bash -c "grep -c $'\r\$' '$work/out.csv'"
expect "automatic number counts the photo" 0 '1;"' grep -E '^1;"[0-9A-F]{15}10";' "$work/out.csv"
expect "dump reads umlauts as UTF-8" 0 'Baugeräte' "$cli" dump "$work/out.csv"
expect "dump keeps the model's quotes" 0 '320d \"Touring\"' "$cli" dump "$work/out.csv"
expect "check passes" 0 "Keine Fehler gefunden!" "$cli" check "${now[@]}" "$work/out.csv"
expect "typed numbers clash without case" 1 "interne Nummer darf nicht mehrfach vorkommen" \
    "$cli" build --typed-numbers "${now[@]}" "$work/in.json" "$work/typed.csv"
expect "failed build writes nothing" 1 "" test -e "$work/typed.csv"
expect "time-stamped key" 0 "" "$cli" build --time-stamp "${now[@]}" "$work/in.json" "$work/ts.csv"
expect "time-stamped key form" 0 '1;"011226_120000_1_' cat "$work/ts.csv"

# A failing vehicle is reported with its control.
cat >"$work/bad.json" <<'JSON'
[{"klasse": 1, "marke": "BMW", "modell": "X", "kategorie": "Kombi", "ez": "03-2021", "kilometer": "1", "preis": 1},
 {"klasse": 3, "marke": "Hymer-Eriba", "modell": "B 544", "kategorie": "Integrierter", "ez": "13-2020",
  "kilometer": "1", "preis": 1}]
JSON
expect "build reports the failing vehicle" 1 "Fahrzeug 2: Datum der Erstzulassung ungültig [me_3_ez]" \
    "$cli" build "${now[@]}" "$work/bad.json" "$work/bad.csv"
expect "future first registration" 1 "Fahrzeug 1: Datum der Erstzulassung ungültig [me_1_ez]" \
    "$cli" check --now 2021-02-01T00:00:00 "$work/out.csv"

# Rejected lines and unusable files.
{ cat "$work/out.csv"; printf '3;"x";"Bitte ausw\xe4hlen";\r\n'; } >"$work/partly.csv"
expect "count of rejected lines" 0 "1 von 3 Fahrzeugen konnte(n) nicht importiert werden." \
    "$cli" check "${now[@]}" "$work/partly.csv"
printf 'nichts;\r\n' >"$work/none.csv"
expect "no vehicle taken" 2 "Es konnten keine Fahrzeuge importiert werden." "$cli" check "$work/none.csv"
: >"$work/empty.csv"
expect "empty file" 2 "Die Datei enthält keine Fahrzeuginformationen." "$cli" check "$work/empty.csv"
expect "missing file" 2 "kann nicht gelesen werden" "$cli" check "$work/fehlt.csv"
printf '[{"klasse": 1, "modell": "Łada"}]' >"$work/cp.json"
expect "character outside Windows-1252" 2 "Windows-1252" "$cli" build "$work/cp.json" "$work/cp.csv"
printf '[{"klasse": 1, ' >"$work/broken.json"
expect "broken JSON" 2 "Ungültiges JSON" "$cli" build "$work/broken.json" "$work/b.csv"
printf '[{"modell": "X"}]' >"$work/noclass.json"
expect "class required" 2 "klasse" "$cli" build "$work/noclass.json" "$work/b.csv"
printf 'kein bild' >"$work/text.jpg"
printf '[{"klasse": 1, "bilder": ["text.jpg"]}]' >"$work/badpic.json"
expect "text file named .jpg" 2 "Grafikdatei" "$cli" build "$work/badpic.json" "$work/b.csv"
expect "bad --now" 2 "--now" "$cli" check --now gestern "$work/out.csv"
expect "bundled example" 0 "Keine Fehler gefunden!" "$cli" check "${now[@]}" "$root/examples/bestand.csv"

# Archives: build writes one, dump/check/convert read them like plain files.
expect "build an archive" 0 "" "$cli" build "${now[@]}" "$work/in.json" "$work/bestand.zip"
expect "archive members" 0 "fzg.csv" unzip -l "$work/bestand.zip"
expect "photo member" 0 "1_1.jpg" unzip -l "$work/bestand.zip"
expect "archive line file equals the plain build" 0 "" bash -c "unzip -p '$work/bestand.zip' fzg.csv | cmp - '$work/out.csv'"
expect "dump an archive shows its photo" 0 '"width": 640' "$cli" dump "$work/bestand.zip"
expect "check an archive" 0 "Keine Fehler gefunden!" "$cli" check "${now[@]}" "$work/bestand.zip"
expect "convert a plain file gets .zip" 0 "Gespeichert als" "$cli" convert "${now[@]}" "$work/out.csv" "$work/konv"
expect "converted archive" 0 "fzg.csv" unzip -l "$work/konv.zip"
sed -E '1s/^1;"[^"]*"/1;"A-1"/; 2s/^2;"[^"]*"/2;"a-1"/' "$work/out.csv" >"$work/typed.csv"
expect "convert with typed numbers checks them" 1 "Fahrzeug 2: interne Nummer darf nicht mehrfach vorkommen" \
    "$cli" convert --typed-numbers "${now[@]}" "$work/typed.csv" "$work/typed.zip"
expect "failed convert writes nothing" 1 "" test -e "$work/typed.zip"
expect "convert an archive" 0 "" "$cli" convert "${now[@]}" "$work/bestand.zip" "$work/kopie.zip"
expect "convert keeps the photos" 0 "" bash -c "unzip -p '$work/bestand.zip' 1_1.jpg | cmp - <(unzip -p '$work/kopie.zip' 1_1.jpg)"
printf 'kein Archiv' >"$work/kaputt.zip"
expect "broken archive" 2 "fehlerhaft" "$cli" check "$work/kaputt.zip"
(cd "$work" && zip -q nocsv.zip foto.jpg)
expect "archive without line file" 2 "enthält keine Fahrzeuginformationen oder entspricht" "$cli" check "$work/nocsv.zip"
cp "$work/bestand.zip" "$work/archiv.csv"
expect "archive under another extension is text" 2 "Es konnten keine Fahrzeuge importiert werden." \
    "$cli" check "$work/archiv.csv"
expect "build into a missing folder" 2 "Ziellaufwerk" "$cli" build "${now[@]}" "$work/in.json" "$work/fehlt/b.zip"

# Automatic numbers of JSON vehicles stay the same through open and save: build writes what the JSON says, and
# opening and saving change nothing.
categories=("" "Cabrio/Roadster" "Chopper/Cruiser" "Alkoven" "Abrollkipper" "Abrollkipper" "Gefahrgut"
    "Abrollanhänger" "Autokran" "Arbeitsbühne" "Doppeldecker" "Bodenbearbeitung" "Containerstapler")
{
    printf '['
    for c in 1 2 3 4 5 6 7 8 9 10 11 12; do
        [ "$c" -gt 1 ] && printf ','
        printf '{"klasse": %s, "marke": "andere", "modell": "Modell", "kategorie": "%s", "ez": "05-2005",' \
            "$c" "${categories[$c]}"
        printf ' "kilometer": "1000", "preis": 11900.004, "typ": "Gebrauchtwagen", "memo": "a\nb"}'
    done
    printf ']'
} >"$work/classes.json"
keys() { unzip -p "$1" fzg.csv | cut -d';' -f2; }
expect "build every class" 0 "" "$cli" build "${now[@]}" "$work/classes.json" "$work/k1.zip"
expect "convert once" 0 "" "$cli" convert "${now[@]}" "$work/k1.zip" "$work/k2.zip"
expect "convert twice" 0 "" "$cli" convert "${now[@]}" "$work/k2.zip" "$work/k3.zip"
expect "twelve keys" 0 "12" bash -c "unzip -p '$work/k1.zip' fzg.csv | grep -c ."
if [ "$(keys "$work/k1.zip")" = "$(keys "$work/k2.zip")" ] && [ "$(keys "$work/k2.zip")" = "$(keys "$work/k3.zip")" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
    printf 'FAILED: automatic numbers changed through convert\n%s\n---\n%s\n' "$(keys "$work/k1.zip")" \
        "$(keys "$work/k3.zip")"
fi

# Build refuses what the file could not hold as given, naming it.
printf '[{"klasse": 1}, {"klasse": 2}, {"klasse": 9, "marke": "TRAILIS", "kategorie": "Minibagger"}]' >"$work/mini.json"
expect "category of another class" 2 'Fahrzeug 3: Kategorie "Minibagger" gibt es bei Baumaschinen nicht.' \
    "$cli" build "$work/mini.json" "$work/mini.csv"
printf '[{"klasse": 9, "marke": "Trailis", "modell": "R 1", "kategorie": "RADLADER", "bj": "2019", "preis": 100}]' \
    >"$work/case.json"
expect "category in another case and an unknown brand" 0 "" "$cli" build "${now[@]}" "$work/case.json" "$work/case.csv"
expect "written in the list's spelling" 0 '"Radlader";"TRAILIS"' cat "$work/case.csv"

# The stock report: every failure and warning of every vehicle; warnings alone keep exit 0. The line file keeps
# the net price (50 gross: 42.02) and the automatic key as internal number.
cat >"$work/warn.json" <<'JSON'
[{"klasse": 1, "marke": "BMW", "modell": "320d", "kategorie": "Kombi", "ez": "03-2021", "kilometer": "0",
  "preis": 50, "mwst": "19%", "vin": "WBA12345678901234"},
 {"klasse": 9, "marke": "Kubota", "modell": "KX 019", "kategorie": "Baugeräte", "bj": "2019", "preis": 19800,
  "vin": "wba12345678901234"}]
JSON
expect "warnings only build" 0 "" "$cli" build "${now[@]}" "$work/warn.json" "$work/warn.csv"
expect "warnings alone exit 0" 0 "Warnung: Preis unter 100 EUR – bitte prüfen [ce_1_preis]" \
    "$cli" check --all "${now[@]}" "$work/warn.csv"
expect "each vehicle of a shared VIN" 0 \
    "KUBOTA KX 019, Nr. 4D33627045AF06A00): Warnung: Gleiche Fahrgestellnummer wie bei Fahrzeug 1 [le_9_vin]" \
    "$cli" check --all "${now[@]}" "$work/warn.csv"
expect "summary" 0 "0 Fehler und 6 Warnungen; 0 von 2 Fahrzeugen fehlerhaft, 2 nur mit Warnungen." \
    "$cli" check --all "${now[@]}" "$work/warn.csv"
expect "single check unchanged by warnings" 0 "Keine Fehler gefunden!" "$cli" check "${now[@]}" "$work/warn.csv"
sed 's/;42\.02;/;0.00;/' "$work/warn.csv" >"$work/fail.csv"
expect "a broken rule exits 1" 1 "Fahrzeug 1 (BMW 320d, Nr. 886476A90BCD3A600): Fehler: keinen Preis angegeben [ce_1_preis]" \
    "$cli" check --all "${now[@]}" "$work/fail.csv"
expect "json lines" 1 \
    '"message":"keinen Preis angegeben","page":"Allgemein","position":1,"rule":33,"severity":"error","title":"BMW 320d"}' \
    "$cli" check --all --json "${now[@]}" "$work/fail.csv"
expect "json warning code" 1 '"code":"keine-bilder","control":"Image9","field":"bilder","index":1' \
    "$cli" check --all --json "${now[@]}" "$work/fail.csv"
expect "every line is JSON" 0 "" bash -c \
    "'$cli' check --all --json ${now[*]} '$work/fail.csv' | python3 -c 'import json,sys; [json.loads(l) for l in sys.stdin]'"
expect "--json needs --all" 2 "--json gilt nur zusammen mit --all." "$cli" check --json "$work/fail.csv"

# Prices in bulk with the engine of the dialog.
expect "price dry run" 0 "Fahrzeug 2 (KUBOTA KX 019): Preis 19.800,00 → 17.990,00" \
    "$cli" price --percent -10 --round schwelle --dry-run "$work/warn.csv"
expect "dry run writes nothing" 0 ";42.02;" cat "$work/warn.csv"
expect "price selection" 0 "Preise von 1 Fahrzeug(en) geändert." \
    "$cli" price --amount 1000,5 --select 2 "${now[@]}" "$work/warn.csv" "$work/priced.zip"
expect "written with cents" 0 '"preis": 20800.5' "$cli" dump "$work/priced.zip"
expect "others untouched" 0 '"preis": 42.02' "$cli" dump "$work/priced.zip"
expect "negative refused" 1 "Fahrzeug 1: Preis: Der neue Preis wäre -57,98." \
    "$cli" price --amount -100 "$work/warn.csv" "$work/neg.zip"
expect "refused writes nothing" 1 "" test -e "$work/neg.zip"
expect "nothing selected" 1 "Es ist kein Fahrzeug ausgewählt." "$cli" price --percent 5 --select "" "$work/warn.csv"
expect "one of percent and amount" 2 "Genau eine von --percent und --amount angeben." \
    "$cli" price --percent 5 --amount 3 "$work/warn.csv"
expect "bad rounding" 2 "--round erwartet cent, euro, 10, 100, schwelle." \
    "$cli" price --percent 5 --round 50 "$work/warn.csv"
expect "bad number" 2 "--percent erwartet eine Zahl" "$cli" price --percent 5,5,5 "$work/warn.csv"
# Stock data: dump shows them, build takes them or names the value it refuses, the upload never sees them.
cat >"$work/stock.json" <<'JSON'
[{"klasse": 1, "marke": "BMW", "modell": "320d", "kategorie": "Kombi", "ez": "03-2021", "kilometer": "1",
  "preis": 28900, "mwst": "19%", "inr": "S-1", "status": "verkauft", "eingang": "2026-01-05", "verkauft": "2026-11-30",
  "preisverlauf": [{"datum": "2026-05-01", "feld": "preis", "alt": 29900, "neu": 28900}]},
 {"klasse": 1, "marke": "VW", "modell": "Golf", "kategorie": "Kombi", "ez": "03-2021", "kilometer": "1",
  "preis": 9900, "mwst": "19%", "inr": "S-2"}]
JSON
expect "build with stock data" 0 "" "$cli" build "${now[@]}" "$work/stock.json" "$work/stock.zip"
expect "the stock member" 0 "tarmelo.json" unzip -l "$work/stock.zip"
expect "dump shows the status" 0 '"status": "verkauft"' "$cli" dump "$work/stock.zip"
expect "dump shows the price history" 0 '"alt": 29900' "$cli" dump "$work/stock.zip"
expect "a vehicle without a date enters today" 0 '"eingang": "2026-12-01"' "$cli" dump "$work/stock.zip"
printf '[{"klasse": 1, "status": "weg"}]' >"$work/badstatus.json"
expect "build names a status it refuses" 2 'Fahrzeug 1, Feld "status": "weg" ist kein Status' \
    "$cli" build "$work/badstatus.json" "$work/b.zip"
expect "no stock member in a line file" 0 "" bash -c "! grep -q verkauft '$work/out.csv'"

# A member of a later version: the file opens read-only and is never written over.
python3 - "$work/stock.zip" "$work/neuer.zip" <<'PY'
import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as a, zipfile.ZipFile(sys.argv[2], "w") as b:
    for i in a.infolist():
        data = a.read(i)
        if i.filename == "tarmelo.json":
            member = json.loads(data)
            member["version"] = 2
            data = json.dumps(member).encode()
        b.writestr(i.filename, data)
PY
expect "a later member version opens read-only" 0 "schreibgeschützt" "$cli" dump "$work/neuer.zip"
expect "rename does not write over it" 1 "wird nicht überschrieben" \
    "$cli" rename --mask 'N-[N]' "${now[@]}" "$work/neuer.zip"
expect "convert into another file does" 0 "" "$cli" convert "${now[@]}" "$work/neuer.zip" "$work/neuer-kopie.zip"

# Backups: a command that replaces an archive keeps the old one; backups lists them, restore writes one out.
cp "$work/bestand.zip" "$work/gesichert.zip"
expect "no backups yet" 0 "Keine Sicherungen" "$cli" backups "$work/gesichert.zip"
expect "convert onto an existing archive" 0 "" "$cli" convert "${now[@]}" "$work/k1.zip" "$work/gesichert.zip"
expect "rename in place" 0 "geändert" "$cli" rename --mask 'R-[N]' "${now[@]}" "$work/gesichert.zip"
expect "listed newest first with the cause" 0 "vor Umbenennen" "$cli" backups "$work/gesichert.zip"
expect "the save's backup counts the vehicles" 0 $'\t2\t1\t' bash -c "'$cli' backups '$work/gesichert.zip' | grep Speichern"
expect "restore the oldest" 0 "als" "$cli" restore "$work/gesichert.zip" 2 "$work/zurueck.zip"
expect "restored byte for byte" 0 "" cmp "$work/bestand.zip" "$work/zurueck.zip"
expect "restore never overwrites" 2 "existiert bereits" "$cli" restore "$work/gesichert.zip" 1 "$work/zurueck.zip"
expect "unknown backup" 2 "Keine Sicherung" "$cli" restore "$work/gesichert.zip" 9 "$work/neu.zip"
printf '[Backup]\nBackupLimitMB=0\n' >"$work/aus.ini"
mkdir -p "$work/config/tarmelo" && cp "$work/aus.ini" "$work/config/tarmelo/config.ini"
expect "limit 0 keeps no backup" 0 "" "$cli" convert "${now[@]}" "$work/k1.zip" "$work/ohne.zip"
expect "limit 0 keeps no backup (again)" 0 "" "$cli" convert "${now[@]}" "$work/k1.zip" "$work/ohne.zip"
expect "none listed" 0 "Keine Sicherungen" "$cli" backups "$work/ohne.zip"
rm "$work/config/tarmelo/config.ini"

# One front end: the help lists every sub-command and the exit codes; an unknown command is bad use.
expect "help" 0 "10  update: eine neuere Version ist verfügbar" "$cli" --help
expect "help names every command" 0 "tarmelo-cli rename" "$cli" --help
expect "help names price" 0 "tarmelo-cli price (--percent P | --amount BETRAG)" "$cli" --help
expect "unknown command" 2 "Aufruf:" "$cli" gibtsnicht

finish "cli"
