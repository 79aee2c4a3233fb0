#!/bin/sh
# Signs an update archive for the online update: writes ARCHIVE.sig (Ed25519, 64 raw bytes) and checksum.txt
# (MD5, upper case) beside it. The signature covers "Tarmelo-Update VERSION" and a line break in front of the
# archive, so that an archive cannot be offered again under a newer version than it was published as.
# The private key stays with the person who publishes; it is never committed.
set -eu
if [ $# -ne 3 ]; then
    echo "Aufruf: $0 PRIVATER_SCHLUESSEL.pem update_files.zip VERSION" >&2
    exit 2
fi
key=$1
archive=$2
version=$3
message=$(mktemp)
trap 'rm -f "$message"' EXIT
{ printf 'Tarmelo-Update %s\n' "$version"; cat "$archive"; } >"$message"
openssl pkeyutl -sign -rawin -inkey "$key" -in "$message" -out "$archive.sig"
md5sum "$archive" | cut -c1-32 | tr 'a-f' 'A-F' > "$(dirname "$archive")/checksum.txt"
