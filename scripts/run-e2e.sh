#!/usr/bin/env bash
# Runs the end-to-end tests: the x86_64 tlvpatch.exe under Wine, on a virtual
# X display, as an unprivileged user (Wine run as root overwrites read-only
# files, which Windows refuses, so root would hide real faults).
#
#   scripts/run-e2e.sh NATIVE_BUILD_DIR WINDOWS_X64_BUILD_DIR [gtest options...]
#
# As root it installs what is missing (Wine, Xvfb, the locales that select
# the interface languages), creates the user "tolvatest" and runs the suite as
# that user from a copy of the programs under /tmp, since the build folders
# may lie where that user cannot read. Any other user runs the suite as
# itself. The exit status is the suite's.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 NATIVE_BUILD_DIR WINDOWS_X64_BUILD_DIR [gtest options...]" >&2
  exit 2
fi
native_dir=$(cd "$1" && pwd)
windows_dir=$(cd "$2" && pwd)
shift 2

test_user=tolvatest
packages=(wine wine64 xvfb xauth locales)
# Wine takes the interface language from the locale: 1041, 1033 and 2057.
locales=(ja_JP en_US en_GB)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=() package
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

has_locale() {
  locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$(echo "$1.utf8" | tr '[:upper:]' '[:lower:]')"
}

generate_missing_locales() {
  local name
  for name in "${locales[@]}"; do
    has_locale "$name" && continue
    echo "== generating locale $name.UTF-8"
    # localedef reports warnings with a non-zero status; the check below is
    # what counts.
    local aliases=()
    [ -f /usr/share/locale/locale.alias ] && aliases=(-A /usr/share/locale/locale.alias)
    as_root localedef -i "$name" -c -f UTF-8 "${aliases[@]}" "$name.UTF-8" || true
    if ! has_locale "$name"; then
      echo "locale $name.UTF-8 could not be generated" >&2
      exit 1
    fi
  done
}

find_program() {  # folder, file name
  local found
  found=$(find "$1" -maxdepth 3 -type f -name "$2" -print -quit)
  if [ -z "$found" ]; then
    echo "$2 not found under $1: build it first" >&2
    exit 1
  fi
  echo "$found"
}

install_missing_packages
generate_missing_locales

e2e_binary=$(find_program "$native_dir" e2e_tests)
# The native patch authoring kit, which the tests of tlvkit run beside the applier.
tlvkit_binary=$(find_program "$native_dir" tlvkit)
programs=()
for program in tlvpatch.exe boxpeek.exe fake_product.exe launcher.exe file_holder.exe deny_key_access.exe profile_probe.exe; do
  programs+=("$(find_program "$windows_dir" "$program")")
done

# Who runs the suite.
run_as=()
runner=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  runner=$test_user
  if ! id "$test_user" >/dev/null 2>&1; then
    echo "== creating user $test_user"
    useradd --create-home --shell /usr/sbin/nologin "$test_user"
  fi
  run_as=(setpriv --reuid="$(id -u "$test_user")" --regid="$(id -g "$test_user")" --init-groups --)
fi

# A folder the test user owns: the programs, its home and its temporary files.
work_dir=$(mktemp -d /tmp/tolva-e2e.XXXXXX)
mkdir -p "$work_dir/bin" "$work_dir/home" "$work_dir/tmp"
cp "$e2e_binary" "$tlvkit_binary" "${programs[@]}" "$work_dir/bin/"
if [ "$(id -u)" -eq 0 ]; then
  chown -R "$test_user:" "$work_dir"
fi
chmod 700 "$work_dir"

xvfb_pid=
# shellcheck disable=SC2317  # called by the trap below
cleanup() {
  local server=/usr/lib/wine/wineserver prefix
  # The suite ends its own wineserver; this catches a suite that was killed.
  [ -x "$server" ] || server=$(command -v wineserver || true)
  if [ -n "$server" ]; then
    for prefix in "$work_dir"/tmp/tolva-e2e-wine.*/prefix; do
      if [ -d "$prefix" ]; then
        "${run_as[@]}" env WINEPREFIX="$prefix" "$server" -k 2>/dev/null || true
      fi
    done
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work_dir"
}
trap cleanup EXIT

user_env=(env -i
  HOME="$work_dir/home" USER="$runner" LOGNAME="$runner" PATH=/usr/local/bin:/usr/bin:/bin
  TMPDIR="$work_dir/tmp" LANG=C.UTF-8)

# Xvfb picks a free display itself and writes its number to the file.
echo "== starting Xvfb"
"${run_as[@]}" "${user_env[@]}" Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp \
  >"$work_dir/display" 2>"$work_dir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 300); do
  grep -q '^[0-9][0-9]*$' "$work_dir/display" 2>/dev/null && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$work_dir/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
display=":$(head -n1 "$work_dir/display")"
if [ "$display" = ":" ]; then
  echo "Xvfb gave no display number" >&2
  exit 1
fi
echo "== Xvfb on display $display; running the end-to-end tests as $runner"

status=0
"${run_as[@]}" "${user_env[@]}" DISPLAY="$display" TOLVA_E2E_BIN_DIR="$work_dir/bin" TOLVA_E2E_REQUIRE=1 \
  timeout --kill-after=30 3600 "$work_dir/bin/$(basename "$e2e_binary")" "$@" || status=$?
exit "$status"
