#!/usr/bin/env bash
# Runs the keyring tests on a session bus of their own with an unlocked gnome-keyring as the Secret Service,
# in a private home so that no real keyring is touched.
set -eu
bin=$1
shift
for tool in dbus-run-session gnome-keyring-daemon; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
export XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The daemon leaves with the bus when dbus-run-session ends.
dbus-run-session -- sh -c 'printf kennwort | gnome-keyring-daemon --unlock --components=secrets >/dev/null &&
    exec "$0" "$@"' "$bin" "$@"
