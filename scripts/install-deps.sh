#!/usr/bin/env bash
# Installs the build and test dependencies on Debian 12; quick when all are present.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libzip-dev libturbojpeg0-dev
      libgtest-dev libgmock-dev libbenchmark-dev libsimpleini-dev zip unzip time imagemagick clang-format clang-tidy)
pkgs+=(clang libclang-rt-14-dev python3)  # hardening: libFuzzer harnesses, kill test
pkgs+=(libssl-dev libfontconfig-dev python3 adwaita-icon-theme desktop-file-utils appstream xvfb xauth xdotool librsvg2-bin)  # shell
pkgs+=(qt6-translations-l10n)  # Qt's own dialogs and context menus in German
pkgs+=(libcurl4-openssl-dev zlib1g-dev qtkeychain-qt6-dev python3-pyftpdlib python3-openssl)  # transfer
pkgs+=(dbus gnome-keyring libsecret-1-0)  # transfer: the keyring test runs a real Secret Service
pkgs+=(poppler-utils libjpeg-turbo-progs fonts-dejavu-core)  # printing: PDF checks in tests, djpeg for the benchmark, the report font
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
