#!/usr/bin/env bash
# Builds the Debian package from a Release build, validates the desktop files, installs the package and runs the
# installed programs: tarmelo-cli on the example inventory, tarmelo once under Xvfb until its window shows.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
build=${1:-build-package}

desktop-file-validate share/applications/tarmelo.desktop
appstreamcli validate --no-net share/metainfo/tarmelo.metainfo.xml

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARMELO_TESTS=OFF
cmake --build "$build" -j2
(cd "$build" && rm -f tarmelo_*.deb && cpack -G DEB)
deb=$(ls "$build"/tarmelo_*.deb)
dpkg-deb -f "$deb" Depends
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "./$deb"

test -x /usr/bin/tarmelo && test -x /usr/bin/tarmelo-cli
for f in /usr/share/applications/tarmelo.desktop /usr/share/metainfo/tarmelo.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/tarmelo.svg /usr/share/icons/hicolor/48x48/apps/tarmelo.png \
         /usr/share/tarmelo/tipps.dat /usr/share/tarmelo/lizenz.txt /usr/share/tarmelo/update-key.pem \
         /usr/share/tarmelo/help/1000.html; do
    test -f "$f" || { echo "fehlt: $f" >&2; exit 1; }
done
/usr/bin/tarmelo-cli check "$src/examples/bestand.csv"

# The installed program starts, shows its window and ends on request; a fresh home keeps the user's settings out.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# libzip is opened at run time: the installed programs write and read an archive.
/usr/bin/tarmelo-cli convert "$src/examples/bestand.csv" "$home/bestand.zip"
/usr/bin/tarmelo-cli check "$home/bestand.zip"
# Qt Network is opened with the first download or update check: the window's start does not load it, and the
# installed command-line tool finds the module, here asking a local update server.
if ldd /usr/bin/tarmelo | grep -q libQt6Network; then echo "tarmelo lädt Qt Network beim Start" >&2; exit 1; fi
test -f /usr/lib/tarmelo/libtarmelo-net.so || { echo "fehlt: /usr/lib/tarmelo/libtarmelo-net.so" >&2; exit 1; }
mkdir -p "$home/www/tmq/update"
printf '1' >"$home/www/tmq/update/update_enabled.txt"
printf 'version\n3.70\n10.02.2011\nauthorized_update\n' >"$home/www/tmq/update/version.php"
python3 "$src/tests/support/http_server.py" "$home/www" >"$home/port" &
server=$!
for _ in $(seq 1 100); do [ -s "$home/port" ] && break; sleep 0.1; done
printf '[Servers]\nUpdateServer=http://127.0.0.1:%s\n' "$(head -1 "$home/port")" >"$home/servers.ini"
HOME=$home /usr/bin/tarmelo-cli update --check --servers "$home/servers.ini" | grep -q "aktuellste Version" ||
    { echo "tarmelo-cli update --check erreicht den Server nicht" >&2; kill $server; exit 1; }
kill $server
HOME=$home xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    /usr/bin/tarmelo & pid=$!
    for i in $(seq 1 100); do
        win=$(xdotool search --sync --limit 1 --name "^Tarmelo" 2>/dev/null || true)
        [ -n "$win" ] && break
        sleep 0.2
    done
    [ -n "$win" ] || { echo "Tarmelo zeigt kein Fenster" >&2; kill $pid; exit 1; }
    kill -TERM $pid
    for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || exit 0; sleep 0.2; done
    echo "Tarmelo endet nicht" >&2; kill -9 $pid; exit 1
'
echo "Paket in Ordnung: $deb"
