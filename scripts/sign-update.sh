#!/bin/sh
# Signs an update archive for the online update: writes ARCHIVE.sig (Ed25519, 64 raw bytes) and checksum.txt
# (MD5, upper case) beside it. The private key stays with the person who publishes; it is never committed.
set -eu
if [ $# -ne 2 ]; then
    echo "Aufruf: $0 PRIVATER_SCHLUESSEL.pem update_files.zip" >&2
    exit 2
fi
key=$1
archive=$2
openssl pkeyutl -sign -rawin -inkey "$key" -in "$archive" -out "$archive.sig"
md5sum "$archive" | cut -c1-32 | tr 'a-f' 'A-F' > "$(dirname "$archive")/checksum.txt"
