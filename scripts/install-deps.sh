#!/usr/bin/env bash
# Installs the Debian packages Sparv needs to build, test and run. Idempotent: asks apt
# only for what is missing, and updates the package lists at most once.
set -euo pipefail

packages=(
    build-essential g++ cmake ninja-build pkg-config git
    liblua5.4-dev libstb-dev libgif-dev libimagequant-dev libwebp-dev
    libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    qt6-base-dev libqt6opengl6-dev xvfb xauth
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    locales
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A locale with a decimal comma, so the tests can prove that numbers in files and JSON do
# not depend on the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    if [ -f /etc/locale.gen ]; then
        $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
        $SUDO locale-gen >/dev/null
    fi
fi
