#!/usr/bin/env bash
# The whole test suite on a fresh Debian machine: installs what it needs,
# builds everything, runs the unit tests (also under sanitizers), fuzzes the
# settings code, checks the shipped executable and runs the end-to-end tests
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh

echo "== unit tests"
ctest --preset native -L unit -j "$(nproc)"

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/sanitizers.sh

echo "== fuzzing"
scripts/fuzz.sh

echo "== shipped executable"
scripts/check-windows-build.sh build/windows-x86 build/windows-x64

echo "== end-to-end tests under Wine"
scripts/run-e2e.sh build/native build/windows-x64

echo "== all tests passed"
