#!/usr/bin/env bash
# The main job, end to end, with one command on a fresh Debian machine: a
# patch package made by "tlvkit build" from a plain manifest is applied by the
# real tlvpatch.exe under Wine, and what it changed is printed.
#
#   scripts/demo.sh
#
# It installs what it needs and builds everything (scripts/install-deps.sh,
# scripts/build.sh); lays out, in a fresh Wine prefix, an installation of
# HARBORSTONE V6.5 at patch level 2 (its installation record, its files and a
# registry value); makes the package of patch 3 with tlvkit (one file stored
# raised by one, one copied plainly, one added, the registry value to quote);
# asks "tlvkit check" for the verdict; runs "tlvpatch.exe /Silent"; and prints
# the files before and after with their checksums, the recorded level
# ("tlvkit show"), the registry value ("reg query ... /reg:32") and the exit
# code. The exit status is 0 when the applier applied the patch and every
# change is the one expected.
#
# As root, Wine runs as the unprivileged user "tolvatest" (created when
# missing), as in the end-to-end tests. This machine runs no 32-bit code, so
# the x86_64 build of the applier is the one applied; a shipped package
# carries the i686 build. TOLVA_DEMO_KEEP=1 keeps the demonstration folder.
set -euo pipefail

demo_user=tolvatest

# ---- the demonstration itself, run as the user who runs Wine ---------------

run_demo() {  # work folder holding bin/tlvkit and bin/tlvpatch.exe
  local work=$1
  local tlvkit=$work/bin/tlvkit
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  local wine=/usr/lib/wine/wine64
  [ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
  local drive_c=$WINEPREFIX/drive_c
  local install=$drive_c/Tolva
  local package=$drive_c/patches/HARBORSTONE-V65-Patch3
  local registry_key='HKEY_LOCAL_MACHINE\Software\Tolva\HARBORSTONE'

  echo "== a fresh Wine prefix in $WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1

  echo "== the installation: HARBORSTONE V6.5, patch level 2, in C:\\Tolva"
  mkdir -p "$install/lib" "$install/doc"
  printf 'HARBORSTONE 6.5 program, build 2\r\n' >"$install/tolva.exe"
  printf 'HARBORSTONE 6.5 engine, build 2\r\n' >"$install/lib/engine.dll"
  printf 'HARBORSTONE 6.5\r\n' >"$install/readme.txt"
  "$tlvkit" record "$drive_c/windows/Tolva.ini" --version 65 --platform x86 --sp 1 --pt 2 \
    --edition standard --dir 'C:\Tolva'
  "$wine" reg add "$registry_key" /v Command /t REG_SZ /d 'C:\Tolva\tolva.exe /start' /f /reg:32 >/dev/null

  echo "== the patch: a manifest and its files, made into a package by tlvkit build"
  local source=$work/patch-source
  mkdir -p "$source/payload"
  printf 'HARBORSTONE 6.5 program, build 3\r\n' >"$source/payload/tolva.exe"
  printf 'HARBORSTONE 6.5 engine, build 3\r\n' >"$source/payload/engine.dll"
  printf 'Patch 3: the engine starts faster.\r\n' >"$source/payload/changes.txt"
  cat >"$source/patch.ini" <<'MANIFEST'
# Patch 3 for HARBORSTONE V6.5, standard edition.
[INSTALL]
TARGET       = 0
MODULE_TYPE  = 0
MODULE_NM    = HARBORSTONE V6.5 修正パッチ3
TITLE_NM     = HARBORSTONE 修正パッチ
MODULE_NM_E  = HARBORSTONE V6.5 Patch 3
TITLE_NM_E   = HARBORSTONE Patch
VERSION      = 65
VERSION_DISP = V6.5
PTNO         = 3

[FILES]
# mode, file on disk, name in SET\<platform>, destination below the installation
file = 1, payload/tolva.exe,   tolva.exe,   tolva.exe
file = 0, payload/engine.dll,  engine.dll,  lib\engine.dll
file = 0, payload/changes.txt, changes.txt, doc\changes.txt

[REGISTRY]
# action, root, key, value name, data (kept, unused)
registry = 0, HKEY_LOCAL_MACHINE, Software\Tolva\HARBORSTONE, Command, -

[PACKAGE]
platforms = x86
applier   = ../bin/tlvpatch.exe
MANIFEST
  echo "-- the patch's files (sha256):"
  (cd "$source/payload" && for file in *; do printf '  %s  %s\n' "$(sha256sum "$file" | cut -c1-16)" "$file"; done)
  "$tlvkit" build "$source/patch.ini" "$package"
  echo "-- the package's description, decoded:"
  "$tlvkit" show "$package"
  echo "-- tolva.exe is stored raised by one:"
  od -An -c -N 16 "$package/SET/x86/tolva.exe"

  echo
  echo "== before"
  show_state "$install" "$drive_c/windows/Tolva.ini" "$registry_key" "$tlvkit" "$wine"

  echo
  echo "== tlvkit check: what the applier will decide"
  local predicted=0
  "$tlvkit" check --language en "$package" "$drive_c/windows/Tolva.ini" || predicted=$?

  echo
  echo "== applying: tlvpatch.exe /Silent"
  local exit_code=0
  (cd "$package" && "$wine" 'C:\patches\HARBORSTONE-V65-Patch3\tlvpatch.exe' /Silent) || exit_code=$?
  echo "exit code: $exit_code (tlvkit check predicted $predicted)"

  echo
  echo "== after"
  show_state "$install" "$drive_c/windows/Tolva.ini" "$registry_key" "$tlvkit" "$wine"

  # What must have happened.
  local problems=()
  [ "$exit_code" -eq 0 ] || problems+=("the applier ended with $exit_code, not 0")
  [ "$predicted" -eq "$exit_code" ] || problems+=("tlvkit check predicted $predicted")
  cmp -s "$install/tolva.exe" "$source/payload/tolva.exe" || problems+=("tolva.exe was not decoded into place")
  cmp -s "$install/lib/engine.dll" "$source/payload/engine.dll" || problems+=("lib\\engine.dll was not replaced")
  cmp -s "$install/doc/changes.txt" "$source/payload/changes.txt" || problems+=("doc\\changes.txt was not added")
  "$tlvkit" show "$drive_c/windows/Tolva.ini" | grep -q '  PTNO *= 3$' || problems+=("PTNO is not 3")
  "$wine" reg query "$registry_key" /v Command /reg:32 2>/dev/null | grep -q '"C:\\Tolva\\tolva.exe /start"' ||
    problems+=("the registry value was not quoted")
  "${WINESERVER:-$(dirname "$wine")/wineserver}" -k 2>/dev/null || true

  echo
  if [ ${#problems[@]} -ne 0 ]; then
    printf 'DEMO FAILED: %s\n' "${problems[@]}"
    return 1
  fi
  echo "Demo passed: patch 3 applied (exit code 0), files replaced, registry value quoted, PTNO recorded as 3."
}

show_state() {  # installation folder, record, registry key, tlvkit, wine
  echo "-- files of C:\\Tolva (sha256):"
  (cd "$1" && find . -type f | sort | sed 's|^\./||' | while read -r file; do
    printf '  %s  %s\n' "$(sha256sum "$file" | cut -c1-16)" "$file"
  done)
  echo "-- installation record (tlvkit show):"
  "$4" show "$2" | sed 's/^/  /'
  echo "-- registry value (reg query /reg:32):"
  "$5" reg query "$3" /v Command /reg:32 2>/dev/null | tr -d '\r' | grep Command | sed 's/^ */  /'
}

if [ "${1:-}" = "--run-in" ]; then
  run_demo "$2"
  exit $?
fi

# ---- preparation, as the caller ---------------------------------------------

cd "$(dirname "$0")/.."
repo=$(pwd)

scripts/install-deps.sh
scripts/build.sh

work=$(mktemp -d /tmp/tolva-demo.XXXXXX)
mkdir -p "$work/bin" "$work/home" "$work/tmp"
# The build folders may lie where the demo's user cannot read.
cp "$repo/build/native/tlvkit" "$repo/build/windows-x64/tlvpatch.exe" "$repo/scripts/demo.sh" "$work/bin/"

run_as=()
runner=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  runner=$demo_user
  id "$demo_user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$demo_user"
  chown -R "$demo_user:" "$work"
  run_as=(setpriv --reuid="$(id -u "$demo_user")" --regid="$(id -g "$demo_user")" --init-groups --)
fi
if [ "${TOLVA_DEMO_KEEP:-}" != 1 ]; then
  trap 'rm -rf "$work"' EXIT
fi

echo "== running the demonstration as $runner in $work"
status=0
"${run_as[@]}" env -i HOME="$work/home" USER="$runner" LOGNAME="$runner" PATH=/usr/local/bin:/usr/bin:/bin \
  TMPDIR="$work/tmp" LANG=C.UTF-8 bash "$work/bin/demo.sh" --run-in "$work" || status=$?
exit "$status"
