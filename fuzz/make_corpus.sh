#!/usr/bin/env bash
# Builds the seed corpora under fuzz/corpus/ from the examples and real-world shapes: archives made by
# Info-ZIP and by Python's zipfile, photos as a camera and a phone (EXIF orientation) write them, BMP files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
c="$root/fuzz/corpus"
ex="$root/examples"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$c"/{fuzz_readline,fuzz_linefile,fuzz_archive,fuzz_photo,fuzz_settings}

# Lines: every example line alone, and a few short shapes.
n=0
while IFS= read -r line; do
    n=$((n + 1))
    printf '%s' "${line%$'\r'}" >"$c/fuzz_readline/beispiel-$n"
done <"$ex/bestand.csv"
printf '1;"x";' >"$c/fuzz_readline/kurz"
# Shapes that settle only after a writing: a VAT flag against the rate, control bytes where a field is cut.
head -n 1 "$ex/bestand.csv" | tr -d '\r\n' | sed 's/;24285.71;0;/;24285.71;;/' >"$c/fuzz_readline/vat-flag-against-rate"
printf '1;"x";"Kombi";"\xff\xff\xff%036d\x01\x00\x00A";' 0 | tr 0 '\000' >"$c/fuzz_readline/control-bytes-cut-at-width"
printf '' >"$c/fuzz_readline/leer"

# Whole files with each kind of line end, and one with a rejected line.
cp "$ex/bestand.csv" "$c/fuzz_linefile/crlf.csv"
tr -d '\r' <"$ex/bestand.csv" >"$c/fuzz_linefile/lf.csv"
tr '\n' '\r' <"$c/fuzz_linefile/lf.csv" >"$c/fuzz_linefile/cr.csv"
{ head -n 2 "$ex/bestand.csv"; printf '3;"x";"Bitte ausw\xe4hlen";\r\n\r\n'; } >"$c/fuzz_linefile/abgelehnt.csv"

# Archives: the stock export shape (fzg.csv and <n>_<k>.jpg at the root) from several writers.
mkdir -p "$work/a/fotos"
head -n 2 "$ex/bestand.csv" >"$work/a/fzg.csv"
convert "$ex/fotos/pkw-2.jpg" -resize 48x36 -quality 80 "$work/a/1_1.jpg"
convert "$ex/fotos/pkw-1.jpg" -resize 40x30 -quality 75 "$work/a/2_1.jpg"
cp "$work/a/1_1.jpg" "$work/a/2_3.jpg"
(cd "$work/a" && zip -q -X "$c/fuzz_archive/infozip.zip" fzg.csv 1_1.jpg 2_1.jpg 2_3.jpg)
(cd "$work/a" && zip -q -X -0 "$c/fuzz_archive/infozip-stored.zip" fzg.csv 1_1.jpg)
(cd "$work/a" && cp fzg.csv fotos/ && cp 1_1.jpg fotos/ && zip -q -X -r "$c/fuzz_archive/infozip-folders.zip" fotos)
python3 - "$work/a" "$c/fuzz_archive" <<'PY'
import os, sys, zipfile
src, out = sys.argv[1], sys.argv[2]
def pack(name, method, names):
    with zipfile.ZipFile(os.path.join(out, name), "w", method) as z:
        for arc, f in names:
            z.write(os.path.join(src, f), arc)
pack("python-deflated.zip", zipfile.ZIP_DEFLATED, [("fzg.csv", "fzg.csv"), ("1_1.jpg", "1_1.jpg"), ("2_1.jpg", "2_1.jpg")])
pack("python-stored.zip", zipfile.ZIP_STORED, [("FZG.CSV", "fzg.csv"), ("1_1.JPG", "1_1.jpg")])
pack("python-backslash.zip", zipfile.ZIP_DEFLATED, [("export\\fzg.csv", "fzg.csv"), ("../1_1.jpg", "1_1.jpg")])
# The stock member beside the lines, keyed by their keys: one sold vehicle with a price change, one guessed.
keys = [l.split(b";")[1].strip(b'"').decode("cp1252") for l in open(os.path.join(src, "fzg.csv"), "rb") if l.strip()]
stock = {"version": 1, "fahrzeuge": [
    {"schluessel": keys[0], "inr": keys[0], "status": "verkauft", "eingang": "2026-01-05", "eingang_geschaetzt": False,
     "verkauft": "2026-11-30", "preisverlauf": [{"datum": "2026-05-01", "feld": "preis", "alt": 25990, "neu": 24990}]},
    {"schluessel": keys[1], "inr": keys[1], "status": "reserviert", "eingang": "2025-03-01",
     "eingang_geschaetzt": True, "verkauft": None, "preisverlauf": []}]}
import json
with zipfile.ZipFile(os.path.join(out, "python-bestandsdaten.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.write(os.path.join(src, "fzg.csv"), "fzg.csv")
    z.write(os.path.join(src, "1_1.jpg"), "1_1.jpg")
    z.writestr("tarmelo.json", json.dumps(stock, indent=1))
# A data descriptor after each member, as streaming writers produce.
with zipfile.ZipFile(os.path.join(out, "python-stream.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for f in ("fzg.csv", "1_1.jpg"):
        with z.open(f, "w", force_zip64=False) as w, open(os.path.join(src, f), "rb") as r:
            w.write(r.read())
PY

# Photos: a camera's baseline JPEG, progressive and grey ones, a phone's with EXIF orientation 6, BMPs.
convert "$ex/fotos/pkw-1.jpg" -resize 64x48 -quality 90 "$c/fuzz_photo/kamera.jpg"
convert "$ex/fotos/pkw-2.jpg" -resize 40x30 -interlace JPEG "$c/fuzz_photo/progressiv.jpg"
convert "$ex/fotos/transporter-1.jpg" -resize 32x24 -colorspace Gray "$c/fuzz_photo/grau.jpg"
convert "$ex/fotos/pkw-2.jpg" -resize 24x32 -quality 85 "$work/hoch.jpg"
python3 - "$work/hoch.jpg" "$c/fuzz_photo/handy-exif6.jpg" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
# APP1 Exif, little-endian TIFF, IFD0 with the one entry Orientation = 6 (turned right).
tiff = b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", 1) + struct.pack("<HHII", 0x0112, 3, 1, 6) + b"\0\0\0\0"
app1 = b"Exif\x00\x00" + tiff
open(sys.argv[2], "wb").write(data[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + data[2:])
PY
convert "$ex/fotos/pkw-2.jpg" -resize 16x12 bmp3:"$c/fuzz_photo/windows.bmp"
convert "$ex/fotos/pkw-2.jpg" -resize 15x11 -colors 16 -type Palette bmp3:"$c/fuzz_photo/palette.bmp"
convert "$ex/fotos/pkw-2.jpg" -resize 8x6 bmp:"$c/fuzz_photo/v5.bmp"

# Settings: a full file as the program writes it, an old Windows-1252 one, and a bare one.
cat >"$c/fuzz_settings/voll.ini" <<'INI'
[Size]
Maximized=0
Width=1024
Height=768
ScreenX=1920
ScreenY=1080
[Position]
Left=100
Top=50
[Table]
col0=40
col1=120
col2=90
col3=90
col4=60
col5=60
col6=70
col7=70
col8=80
col9=80
[Login]
Username=autohaus
Password=1B0F1D0A
SavePassword=1
[Recent]
File1=/home/händler/bestand.zip
File2=/home/händler/alt.csv
File3=
File4=
[UpdateIntNr]
RenameMaskChecked=1
RenameMaskText=[N]-[C]
RenameMaskItem0=[N]
SkipNonSelected=0
BeginningChars=2
EndingChars=0
SearchText=a
ReplaceText=b
CounterStart=1
CounterStep=1
CounterDigits=3
[Tipps]
ActItem=4
ShowTipps=1
[Misc]
ResetDays=0
AutomaticIntNr=1
[Update]
LastUpdate=01.12.2026
INI
printf '[Recent]\r\nFile1=C:\\Programme\\H\xe4ndler\\bestand.zip\r\n[Misc]\r\nAutomaticIntNr=0\r\n' >"$c/fuzz_settings/windows.ini"
printf '[Size]\nWidth=abc\n[Tipps]\nActItem=-5\n' >"$c/fuzz_settings/kaputt.ini"
# Gaps in the recent files close one per reading; UTF-8 and Windows-1252 mixed.
printf '[Recent]\nFile1=/home/h\xc3\xa4ndler/a.zip\nFile2=\nFile3=\nFile4=/home/h\xf6ndler/d.zip\n' \
    >"$c/fuzz_settings/recent-gaps-mixed-encoding.ini"

# Log-in pages: both layouts of the test server's page, two forms, controls of every kind, entities.
mkdir -p "$c"/{fuzz_htmlform,fuzz_versionfile,fuzz_unpack}
python3 - "$root/tests/support/login_server.py" "$c/fuzz_htmlform" <<'PY'
import importlib.util, os, sys
spec = importlib.util.spec_from_file_location("login_server", sys.argv[1])
m = importlib.util.module_from_spec(spec)
spec.loader.exec_module(m)
out = sys.argv[2]
def put(name, text):
    open(os.path.join(out, name), "wb").write(text.encode("utf-8"))
put("anmeldung.html", m.FORM_PAGE.format(first=m.PLAIN_FORM))
put("anmeldung-tabelle.html", m.FORM_PAGE.format(first=m.TABLE_FORM))
put("zwei-formulare.html", "<form action='a'><input name=x value=1></form><form action='b'><input name=y></form>")
put("ohne-formular.html", m.LOGGED_IN)
put("steuerelemente.html", """<form method=POST action="https://anmeldung.example/login?x=1&amp;y=%C3%A4">
<textarea name=notiz>Zeile &lt;1&gt;
Zeile 2</textarea><select name=viele multiple><option selected>a<option value=b selected>B<option>c</select>
<input name=x disabled><input type=radio name=r value=1><input type=radio name=r value=2 checked>
<input name=dup value=1><input name=dup value=2><input type=image name=bild><input name=&quot;q&quot; value=&#228;>
<select name=leer></select><select name=erste><option>  eins   zwei </option><option>drei</select></form>""")
put("offen.html", "<table><tr><td><form action=x><input name=a></td></tr></table><input name=b></form>")
put("isindex.html", "<isindex prompt=Suche action=/suche>")
PY

# Version files as the update server writes them, with either line end, a message and broken ones.
printf 'version\r\n3.71\r\n15.03.2011\r\nauthorized_update\r\n' >"$c/fuzz_versionfile/neu-crlf"
printf 'version\n3.70\n10.02.2011\nauthorized_update\n' >"$c/fuzz_versionfile/gleich-lf"
printf 'version\n4.00\n01.01.2027\nBitte wenden Sie sich an den H\xe4ndlerservice.\n' >"$c/fuzz_versionfile/meldung"
printf 'version\n3.7\n10.02.2011\nauthorized_update\n' >"$c/fuzz_versionfile/kurze-nummer"
printf 'version\n\xd9\xa3.70\n-\nauthorized_update' >"$c/fuzz_versionfile/fremde-ziffern"
printf '1\n' >"$c/fuzz_versionfile/schalter"

# Update archives: a program tree from Info-ZIP (with the executable bit) and Python's zipfile, and hostile
# ones: "../x", an absolute name, a symbolic link, a folder where a file follows, a bomb of zeros.
mkdir -p "$work/u/bin" "$work/u/share/hilfe"
printf '#!/bin/sh\necho tarmelo\n' >"$work/u/bin/tarmelo"
chmod 755 "$work/u/bin/tarmelo"
printf '<html>Hilfe</html>\n' >"$work/u/share/hilfe/index.html"
(cd "$work/u" && zip -q -X -r "$c/fuzz_unpack/infozip.zip" bin share)
(cd "$work/u" && ln -s ../../etc/passwd bin/link && zip -q -X -y "$c/fuzz_unpack/infozip-symlink.zip" bin/link bin/tarmelo)
python3 - "$c/fuzz_unpack" <<'PY'
import os, sys, zipfile
out = sys.argv[1]
def info(name, mode=0o644, method=zipfile.ZIP_STORED):
    i = zipfile.ZipInfo(name, (2026, 12, 1, 12, 0, 0))
    i.compress_type = method
    i.external_attr = mode << 16
    i.create_system = 3
    return i
with zipfile.ZipFile(os.path.join(out, "python.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(info("bin/", 0o40755), b"")
    z.writestr(info("bin/tarmelo", 0o100755, zipfile.ZIP_DEFLATED), b"#!/bin/sh\n")
    z.writestr(info("share/hilfe/index.html", 0o644, zipfile.ZIP_DEFLATED), b"<html>Hilfe</html>\n")
for name, member in (("python-parent.zip", "../x"), ("python-absolute.zip", "/tmp/x"),
                     ("python-inner-parent.zip", "bin/../../x"), ("python-backslash.zip", "bin\\..\\x")):
    with zipfile.ZipFile(os.path.join(out, name), "w") as z:
        z.writestr(info("bin/ok"), b"ok")
        z.writestr(info(member), b"x")
with zipfile.ZipFile(os.path.join(out, "python-symlink.zip"), "w") as z:
    z.writestr(info("bin/link", 0o120777), b"/etc/passwd")
    z.writestr(info("bin/link/x"), b"x")
with zipfile.ZipFile(os.path.join(out, "python-folder-then-file.zip"), "w") as z:
    z.writestr(info("a/", 0o40755), b"")
    z.writestr(info("a"), b"x")
with zipfile.ZipFile(os.path.join(out, "python-bomb.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(info("null", 0o644, zipfile.ZIP_DEFLATED), b"\0" * (2 << 20))
PY
