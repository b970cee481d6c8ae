#!/usr/bin/env bash
# Builds the three configurations: native (core and tests), Windows 32-bit
# (shipped) and Windows 64-bit (run under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
"$(dirname "$0")/install-deps.sh"
for preset in native windows-x86 windows-x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
