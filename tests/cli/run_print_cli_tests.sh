#!/usr/bin/env bash
# Drives tarmelo-cli rename and print on real files; the PDFs are read back with poppler.
set -u
cli=$1
work=$(mktemp -d)
# Backups and settings go to the scratch folder, never to the home folder.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/common.sh"
# The exact output of a command against the expected text.
same() { # description, expected text, command...
    local what=$1 want=$2
    shift 2
    local got
    got=$("$@" 2>/dev/null)
    if [ "$got" == "$want" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s\n--- wanted\n%s\n--- got\n%s\n' "$what" "$want" "$got"
    fi
}

now=(--now 2024-01-31T09:05:07)
cat >"$work/in.json" <<'JSON'
[{"klasse": 1, "marke": "VW", "modell": "Golf", "kategorie": "Limousine", "ez": "05-2005", "kilometer": "1000",
  "preis": 11900, "mwst": "19%", "inr": "A"},
 {"klasse": 1, "marke": "VW", "modell": "Polo", "kategorie": "Limousine", "ez": "05-2005", "kilometer": "1000",
  "preis": 9900, "mwst": "19%", "inr": "B"},
 {"klasse": 1, "marke": "VW", "modell": "Up", "kategorie": "Limousine", "ez": "05-2005", "kilometer": "1000",
  "preis": 7900, "mwst": "19%", "inr": "C"}]
JSON
expect "build" 0 "" "$cli" build --typed-numbers "${now[@]}" "$work/in.json" "$work/inv.zip"

# Renaming: the preview lines of a dry run.
same "mask with counter" $'1\tx\tA\tA-001\n2\tx\tB\tB-002\n3\tx\tC\tC-003' \
    "$cli" rename --mask '[N]-[C]' --digits 3 --dry-run "$work/inv.zip"
same "skipping an unselected row" $'1\tx\tA\tA-001\n2\t-\tB\t<Fehler>\n3\tx\tC\tA-002' \
    "$cli" rename --mask 'A-[C]' --digits 3 --select 1,3 --skip-unselected --dry-run "$work/inv.zip" 
same "negative start brought into range" $'1\tx\tA\t-10000\n2\tx\tB\t-9999\n3\tx\tC\t-9998' \
    "$cli" rename --mask '[C]' --start -20000 --dry-run "$work/inv.zip"
same "date, time and search" $'1\tx\tA\tA240131_090507\n2\tx\tB\tB240131_090507\n3\tx\tC\tC240131_090507' \
    "$cli" rename --mask '[N][YMD]-[hms]' --search - --replace _ "${now[@]}" --dry-run "$work/inv.zip"
same "removal" $'1\tx\tA\t\n2\tx\tB\t\n3\tx\tC\t' "$cli" rename --remove 0,7 --dry-run "$work/inv.zip"
same "empty selection ticks none" $'1\t-\tA\tA\n2\t-\tB\tB\n3\t-\tC\tC' \
    "$cli" rename --mask '[N]' --select '' --dry-run "$work/inv.zip"
expect "dry run of a faulty mask exits 0" 0 "<Fehler>" "$cli" rename --mask '[n]' --dry-run "$work/inv.zip"

# Applying: the refusals write nothing.
expect "faulty mask refused" 1 "Der eingegebene Umbenennmaske ist fehlerhaft. Eingabe überprüfen!" \
    "$cli" rename --mask '[X]' "$work/inv.zip" "$work/bad.zip"
expect "nothing selected refused" 1 "Es muss mindestens ein Fahrzeug zum Umbenennen" \
    "$cli" rename --mask '[N]' --select '' "$work/inv.zip" "$work/bad.zip"
expect "refusal wrote nothing" 1 "" test -e "$work/bad.zip"
expect "equal numbers refused as on saving" 1 "interne Nummer darf nicht mehrfach vorkommen" \
    "$cli" rename --mask 'X' "$work/inv.zip" "$work/bad.zip"
expect "rename applies the selected rows" 0 "" \
    "$cli" rename --mask 'K-[C]' --start 7 --select 2-3 --skip-unselected "$work/inv.zip" "$work/renamed.zip"
same "renamed numbers read back" $'1\tx\tA\tA\n2\tx\tK-7\tK-7\n3\tx\tK-8\tK-8' \
    "$cli" rename --mask '[N]' --dry-run "$work/renamed.zip"
expect "bad selection" 2 "--select" "$cli" rename --mask '[N]' --select 4 --dry-run "$work/inv.zip"
expect "mask and removal exclude each other" 2 "Aufruf" "$cli" rename --mask '[N]' --remove 1,1 "$work/inv.zip"
expect "the applied count is reported" 0 "2 interne Nummer(n) geändert." \
    "$cli" rename --mask '[N]-1' --select 1-2 "$work/inv.zip" "$work/counted.zip"

# Texts the dialog's fields would not take are refused before anything is written.
cp "$work/inv.zip" "$work/kept.zip"
expect "mask outside the number's characters" 2 'Das Zeichen "☃" ist in der Umbenennmaske nicht erlaubt.' \
    "$cli" rename --mask '[N]☃' "$work/kept.zip"
expect "replacement with a quote" 2 'Das Zeichen """ ist im Ersetzungstext nicht erlaubt.' \
    "$cli" rename --mask '[N]' --search A --replace '"' "$work/kept.zip"
expect "mask longer than 50" 2 "Höchstens 50 Zeichen sind in der Umbenennmaske erlaubt." \
    "$cli" rename --mask "$(printf 'x%.0s' {1..51})" "$work/kept.zip"
expect "refused rename left the archive" 0 "" cmp "$work/inv.zip" "$work/kept.zip"

# Printing as text and as PDF.
same "text of selected blocks" $'VW Polo (Limousine), interne Nummer: B\nMerkmale: EZ: 05-2005, 1.000 km\nPreis: 9.900 EUR brutto (8.319 EUR netto), 19% MwSt ausweisbar' \
    "$cli" print --text --typed-numbers --select 2 "$work/inv.zip"
expect "automatic numbers leave the number out" 0 "VW Up (Limousine)" "$cli" print --text --select 3 "$work/inv.zip"
expect "no selection" 1 "Es muss mindestens ein Fahrzeug zum Drucken ausgewählt sein!" \
    "$cli" print --text --select '' "$work/inv.zip"
if command -v pdftotext >/dev/null; then
    expect "pdf written" 0 "" "$cli" print "${now[@]}" --typed-numbers "$work/inv.zip" "$work/list.pdf"
    expect "pdf title" 0 "Listenausdruck" pdfinfo "$work/list.pdf"
    expect "pdf A4" 0 "595 x 842" pdfinfo "$work/list.pdf"
    expect "pdf header" 0 "Fahrzeugbestand Listenausdruck" pdftotext "$work/list.pdf" -
    expect "pdf footer" 0 "Hergestellt mit Tarmelo." pdftotext "$work/list.pdf" -
    expect "pdf date" 0 "31.01.2024" pdftotext "$work/list.pdf" -
    expect "pdf title line" 0 "VW Golf (Limousine), interne Nummer: A" pdftotext "$work/list.pdf" -
    expect "pdf without photos has no images" 1 "" bash -c "pdfimages -list '$work/list.pdf' | grep image"

    # A photo that cannot be decoded says so in its frame and on stderr.
    (cd "$work" && unzip -q inv.zip fzg.csv && convert -size 200x150 gradient:red-blue 1_1.jpg &&
        head -c 900 1_1.jpg >1_2.jpg && zip -q -0 broken.zip fzg.csv 1_1.jpg 1_2.jpg)
    expect "unreadable photo warned" 0 "Warnung: Fahrzeug 1, Bild 2: Bild nicht lesbar." \
        "$cli" print "${now[@]}" "$work/broken.zip" "$work/broken.pdf"
    expect "unreadable photo in its frame" 0 "Bild nicht lesbar" pdftotext "$work/broken.pdf" -
    expect "the readable photo printed" 0 "image" bash -c "pdfimages -list '$work/broken.pdf'"
fi

finish "print cli"
