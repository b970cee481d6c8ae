#!/usr/bin/env bash
# Builds and runs the benchmarks and prints one table:
#   - the byte-shift copy (shiftCopyFile over the Win32 platform) against the
#     bare 1024-byte read/shift/write loop (also with the flush that the shift
#     copy makes before it moves its file into place) and against CopyFileA,
#     on one 256 MiB file under Wine, from one run of copy_bench.exe (the
#     fastest of 5 rounds of each);
#   - the value codec's encoding and decoding, natively (Google Benchmark);
#   - a whole silent run of a 100-file package under Wine: the total, the fixed
#     wait of closing the product (3000 ms with no product window), the copying
#     of the same files alone (the same calls, in-process), the start and end
#     of the applier itself (run beside no patch description, it ends at once),
#     and what remains: our overhead;
#   - the peak RSS of the Wine process applying a 1 GiB file against a 1 MiB
#     file (the copy streams, so they should hardly differ), median of 3 runs.
# Timings are medians of 5 rounds. Other load on the machine shows in them:
# run it on a quiet machine.
#
#   scripts/bench.sh
#
# Builds in build/bench-native and build/bench-windows-x64 (the x86_64
# program: this machine runs no 32-bit code), in a Wine prefix of its own
# that it removes afterwards. Not part of the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)

"$source_dir/scripts/install-deps.sh"

native_dir=$source_dir/build/bench-native
windows_dir=$source_dir/build/bench-windows-x64
jobs=$(nproc)

echo "== building" >&2
cmake -S "$source_dir" -B "$native_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native_dir" -j "$jobs" --target codec_bench >/dev/null
# The shipped configuration (MinSizeRel), as the presets build it.
cmake -S "$source_dir" -B "$windows_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$windows_dir" -j "$jobs" --target tlvpatch copy_bench apply_bench >/dev/null

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

work=$(mktemp -d /tmp/tolva-bench.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=C.UTF-8
unset DISPLAY  # nothing here shows a window
# shellcheck disable=SC2317  # called by the trap below
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== making a Wine prefix" >&2
mkdir -p "$WINEPREFIX"
"$wineserver" -p  # one wineserver for every run, as an installed system has
"$wine" wineboot -i >/dev/null 2>&1
tools=$WINEPREFIX/drive_c/bench-tools
mkdir -p "$tools"
cp "$windows_dir/tlvpatch.exe" "$windows_dir/copy_bench.exe" "$windows_dir/apply_bench.exe" "$tools/"

# The value of `key` in "key=value" lines.
value_of() { sed -n "s/^$1=//p" <<<"$2" | tr -d '\r'; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "== codec (native)" >&2
codec=$("$native_dir/bench-build/codec_bench" --benchmark_format=csv 2>/dev/null)
codec_mb_per_s() {  # name, e.g. encode/510
  awk -F, -v name="\"$1\"" '$1 == name { printf "%.0f", $6 / 1e6 }' <<<"$codec"
}

echo "== shift copy, 256 MiB (Wine)" >&2
copy=$("$wine" 'C:\bench-tools\copy_bench.exe' 'C:\bench-copy' 256 5)
bare=$(value_of bare_loop_mib_per_s "$copy")
flushed=$(value_of bare_loop_flushed_mib_per_s "$copy")
shift_copy=$(value_of shift_copy_mib_per_s "$copy")
copy_file=$(value_of copy_file_a_mib_per_s "$copy")
shift_vs_bare=$(calc "%.1f" "100 * $shift_copy / $bare")
shift_vs_flushed=$(calc "%.1f" "100 * $shift_copy / $flushed")

echo "== silent run of 100 files of 64 KiB (Wine)" >&2
runs=$("$wine" 'C:\bench-tools\apply_bench.exe' time-runs 'C:\bench-run' 'C:\bench-tools\tlvpatch.exe' 100 64 5)
if [ "$(calc "%d" "$(value_of exit_code "$runs")")" != 0 ] || [ "$(calc "%d" "$(value_of bare_exit_code "$runs")")" != 5 ]; then
  echo "unexpected exit codes: $runs" >&2
  exit 1
fi
fixed_wait_ms=3000
run_ms=$(value_of run_ms "$runs")
copy_ms=$(value_of copy_ms "$runs")
start_ms=$(value_of process_start_ms "$runs")
overhead_ms=$(calc "%.0f" "$run_ms - $fixed_wait_ms - $copy_ms - $start_ms")

echo "== peak memory, 1 MiB and 1 GiB file (Wine)" >&2
peak_rss_kib() {  # size in KiB; the median of three runs
  local size=$1 work_dir="C:\\bench-mem-$1" round
  "$wine" 'C:\bench-tools\apply_bench.exe' lay-out "$work_dir" 'C:\bench-tools\tlvpatch.exe' 1 "$size"
  for round in 1 2 3; do
    "$wine" 'C:\bench-tools\apply_bench.exe' record "$work_dir"
    # The loader becomes the Windows process itself: its peak is the program's.
    /usr/bin/time -f '%M %x' "$wine" "$work_dir\\package\\tlvpatch.exe" /Silent 2>&1 >/dev/null | tail -n1 |
      awk '$2 != 0 { print "the applier exited with " $2 > "/dev/stderr"; exit 1 } { print $1 }'
  done | median
}
rss_small=$(peak_rss_kib 1024)
rss_large=$(peak_rss_kib 1048576)
rss_difference=$((rss_large - rss_small))

verdict() { if awk "BEGIN { exit !($1) }"; then echo "met"; else echo "MISSED"; fi; }

row() { printf '%-52s %16s   %-22s %s\n' "$@"; }
echo
row "Measure" "Result" "Target" "Verdict"
row "-------" "------" "------" "-------"
row "bare 1024-byte loop, 256 MiB (Wine)" "$(calc "%.0f" "$bare") MiB/s" "" ""
row "bare loop + FlushFileBuffers" "$(calc "%.0f" "$flushed") MiB/s" "" ""
row "shiftCopyFile (temporary file, flush, move)" "$(calc "%.0f" "$shift_copy") MiB/s" "" ""
row "  shiftCopyFile / bare loop" "$shift_vs_bare %" ">= 95 %" "$(verdict "$shift_vs_bare >= 95")"
row "  shiftCopyFile / bare loop + flush" "$shift_vs_flushed %" "" ""
row "CopyFileA" "$(calc "%.0f" "$copy_file") MiB/s" "" ""
row "  shiftCopyFile / CopyFileA" "$(calc "%.1f" "100 * $shift_copy / $copy_file") %" "" ""
row "codec encode, 24 / 510-byte text (native)" "$(codec_mb_per_s encode/24) / $(codec_mb_per_s encode/510) MB/s" "" ""
row "codec decode, 24 / 510-byte text (native)" "$(codec_mb_per_s decode/24) / $(codec_mb_per_s decode/510) MB/s" "" ""
row "silent run, 100 files of 64 KiB: total" "$(calc "%.0f" "$run_ms") ms" "" ""
row "  fixed wait (no product window)" "$fixed_wait_ms ms" "" ""
row "  copying the 100 files (same calls, in-process)" "$(calc "%.0f" "$copy_ms") ms" "" ""
row "  starting and ending the applier (Wine)" "$(calc "%.0f" "$start_ms") ms" "" ""
row "  our overhead (the rest)" "$overhead_ms ms" "< 300 ms" "$(verdict "$overhead_ms < 300")"
row "peak RSS, applying a 1 MiB file" "$rss_small KiB" "" ""
row "peak RSS, applying a 1 GiB file" "$rss_large KiB" "" ""
row "  difference" "$rss_difference KiB" "<= 512 KiB" "$(verdict "$rss_difference <= 512")"
