#!/usr/bin/env bash
# Installs everything Lexorin needs to build, test and run, from Debian's packages (run as root).
set -euo pipefail
packages=(
    cmake ninja-build g++ pkg-config clang-format
    libsqlite3-dev libgtest-dev libbenchmark-dev
    qt6-base-dev libzip-dev zlib1g-dev libgettextpo-dev gettext
    xvfb xauth time
    fp-compiler fp-units-rtl fp-units-fcl fp-units-db fpc-source
    lazarus-src-2.2 lcl-units-2.2 lcl-nogui-2.2 lcl-gtk2-2.2
    libhunspell-dev hunspell-de-de hunspell-en-us
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
