#!/usr/bin/env bash
# Checks the shipped tlvpatch.exe (i686) without running it:
#   - a PE32 image (not PE32+) for the i386 machine, GUI subsystem;
#   - no MinGW runtime DLL among its imports (it must run alone);
#   - the manifest (resource 24/1) asks for requireAdministrator;
#   - the English (0x0009) and Japanese (0x0411) string tables hold every
#     message id of resources/message_texts.h;
#   - its string tables are byte-identical to those of the x86_64 build, so
#     the texts that the end-to-end tests read from the x86_64 build under
#     Wine are the texts that ship.
#
#   scripts/check-windows-build.sh BUILD_DIR_X86 BUILD_DIR_X64
#
# Installs the tools it lacks from Debian's packages. Prints one line per
# check and exits non-zero when any check fails.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR_X86 BUILD_DIR_X64" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
x86_exe=$1/tlvpatch.exe
x64_exe=$2/tlvpatch.exe

# ---- tools -------------------------------------------------------------------

objdump=i686-w64-mingw32-objdump
declare -A package_of=(
  [wrestool]=icoutils
  [$objdump]=binutils-mingw-w64-i686
  [od]=coreutils
  [cmp]=diffutils
)

install_missing_tools() {
  local missing=() tool
  for tool in "${!package_of[@]}"; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("${package_of[$tool]}")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing ${missing[*]}"
  local as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

install_missing_tools

# ---- reading the image -------------------------------------------------------

# Unsigned little-endian number of `size` bytes at `offset` of `file`.
read_number() {  # file offset size
  local value=0 shift=0 byte
  for byte in $(od -An -v -tu1 -j "$2" -N "$3" "$1"); do
    value=$((value + (byte << shift)))
    shift=$((shift + 8))
  done
  echo "$value"
}

pe_header_offset() { read_number "$1" 60 4; }

# Raw bytes of one resource; empty output when there is none.
resource_bytes() {  # file type name language
  wrestool -x --raw --type="$2" --name="$3" --language="$4" "$1" 2>/dev/null
}

# "NAME LANGUAGE" of every string-table block, one per line, sorted.
string_blocks() {  # file
  wrestool -l --type=6 "$1" 2>/dev/null |
    sed -n 's/.*--name=\([0-9]*\) --language=\([0-9]*\).*/\1 \2/p' | sort -n
}

# Lengths (UTF-16 units) of the 16 strings of a raw string-table block.
string_lengths() {  # file holding the block
  local position=0 index length
  for index in $(seq 0 15); do
    length=$(read_number "$1" "$position" 2)
    echo "$length"
    position=$((position + 2 + 2 * length))
  done
}

message_ids() {
  grep '#define MESSAGE_IDS' "$source_dir/resources/message_texts.h" | grep -o 'X([0-9]*)' | tr -dc '0-9\n'
}

# ---- checks ------------------------------------------------------------------

passed=0
failed=0
check() {  # description, then the command that must succeed
  local description=$1
  shift
  if "$@"; then
    echo "ok    $description"
    passed=$((passed + 1))
  else
    echo "FAIL  $description"
    failed=$((failed + 1))
  fi
}

is_pe_image() {
  local offset
  [ -f "$1" ] || return 1
  [ "$(od -An -c -N 2 "$1" | tr -d ' ')" = "MZ" ] || return 1
  offset=$(pe_header_offset "$1")
  [ "$(read_number "$1" "$offset" 4)" -eq $((0x4550)) ]  # "PE\0\0"
}

has_machine() {  # file machine
  [ "$(read_number "$1" $(($(pe_header_offset "$1") + 4)) 2)" -eq "$2" ]
}

# The optional header follows the 24-byte signature and file header.
has_optional_magic() {  # file magic
  [ "$(read_number "$1" $(($(pe_header_offset "$1") + 24)) 2)" -eq "$2" ]
}

has_subsystem() {  # file subsystem
  [ "$(read_number "$1" $(($(pe_header_offset "$1") + 24 + 68)) 2)" -eq "$2" ]
}

imported_dlls() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }

imports_no_mingw_runtime() {
  local dlls
  dlls=$(imported_dlls "$1") || return 1
  [ -n "$dlls" ] || return 1
  ! grep -qiE 'libstdc\+\+|libgcc|libwinpthread|mingw' <<<"$dlls"
}

manifest_requires_administrator() {
  local manifest
  manifest=$(resource_bytes "$1" 24 1 0 | tr -d '\0')
  grep -qE 'requestedExecutionLevel[^>]*level="requireAdministrator"' <<<"$manifest" &&
    grep -qE 'requestedExecutionLevel[^>]*uiAccess="false"' <<<"$manifest"
}

# Every message id has a non-empty string in the table of `language`.
string_table_complete() {  # file language
  local work id block index length
  work=$(mktemp -d)
  for id in $(message_ids); do
    block=$((id / 16 + 1))
    index=$((id % 16))
    if [ ! -s "$work/$block" ]; then
      resource_bytes "$1" 6 "$block" "$2" >"$work/$block"
      [ -s "$work/$block" ] || { echo "      no block $block in language $2" >&2; rm -rf "$work"; return 1; }
    fi
    length=$(string_lengths "$work/$block" | sed -n "$((index + 1))p")
    if [ "${length:-0}" -eq 0 ]; then
      echo "      message $id missing in language $2" >&2
      rm -rf "$work"
      return 1
    fi
  done
  rm -rf "$work"
}

string_tables_identical() {  # file, other file
  local blocks name language
  blocks=$(string_blocks "$1")
  [ -n "$blocks" ] || return 1
  if [ "$blocks" != "$(string_blocks "$2")" ]; then
    echo "      the two builds carry different string-table blocks" >&2
    return 1
  fi
  while read -r name language; do
    if ! cmp -s <(resource_bytes "$1" 6 "$name" "$language") <(resource_bytes "$2" 6 "$name" "$language"); then
      echo "      block $name, language $language differs" >&2
      return 1
    fi
  done <<<"$blocks"
}

echo "== checking $x86_exe"
check "exists and is a PE image" is_pe_image "$x86_exe"
if [ "$failed" -eq 0 ]; then
  check "i386 machine (0x014c)" has_machine "$x86_exe" $((0x014c))
  check "PE32, not PE32+ (optional header magic 0x010b)" has_optional_magic "$x86_exe" $((0x010b))
  check "GUI subsystem (2)" has_subsystem "$x86_exe" 2
  check "no MinGW runtime DLL imported ($(imported_dlls "$x86_exe" 2>/dev/null | tr '\n' ' '))" imports_no_mingw_runtime "$x86_exe"
  check "manifest asks for requireAdministrator, uiAccess false" manifest_requires_administrator "$x86_exe"
  check "English string table (0x0009) holds every message" string_table_complete "$x86_exe" $((0x0009))
  check "Japanese string table (0x0411) holds every message" string_table_complete "$x86_exe" $((0x0411))
  check "x86_64 build exists and is a PE image ($x64_exe)" is_pe_image "$x64_exe"
  check "string tables byte-identical to the x86_64 build's" string_tables_identical "$x86_exe" "$x64_exe"
fi

echo "check-windows-build: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
