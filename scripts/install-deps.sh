#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need.
# Safe to run again: only missing packages are fetched.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils icoutils
  # the benchmarks (scripts/bench.sh): Google Benchmark, and /usr/bin/time for peak memory
  libbenchmark-dev time
  # tlvkit's command line (header-only)
  libcli11-dev
  # Sanitizer and fuzzing builds: clang, its runtimes (libFuzzer, ASan, UBSan)
  # and llvm-symbolizer for readable reports.
  clang libclang-rt-14-dev llvm
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
