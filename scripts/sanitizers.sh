#!/usr/bin/env bash
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (preset "native-asan", clang) and runs them: any memory error, leak or
# undefined behaviour fails the test that meets it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j "$(nproc)"
ctest --preset native-asan -j "$(nproc)"
