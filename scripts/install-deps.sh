#!/usr/bin/env bash
# Installs the Debian packages Quillet needs to build, test and run, and only
# those that are missing. Quiet when everything is present.
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev libturbojpeg0-dev libtiff-dev libudev-dev linux-libc-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
