#!/usr/bin/env bash
# Installs what is missing, builds, and starts the calculator.
set -euo pipefail
cd "$(dirname "$0")"
./deps/install.sh
# Through ccache when it is there (an empty launcher otherwise).
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLVANT_WERROR=ON \
  "-DCMAKE_CXX_COMPILER_LAUNCHER=$(command -v ccache || true)" >/dev/null
cmake --build build -j2
# The calculator window. Without a display it says so and names the
# alternatives (zolvant-cli, or xvfb-run).
exec ./build/bin/zolvant
