#!/usr/bin/env bash
# Installs what is missing, builds Quillet (Release) and starts it with the
# virtual scanner plugged in. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target quillet
exec build/quillet --virtual-scanner "$@"
