#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each one for a bounded
# time, starting from its committed seeds in fuzz/corpus/<target>. Fails on
# any crash, leak, timeout, out-of-memory or undefined behaviour; the input
# that caused it is kept in build/fuzz/findings/<target>/ and replays with
#   build/fuzz/<target> build/fuzz/findings/<target>/<file>
#
#   scripts/fuzz.sh                       every target, 60 s each
#   FUZZ_SECONDS=600 scripts/fuzz.sh      every target, 10 minutes each
#   scripts/fuzz.sh codec_decode          the named targets only
#
# New inputs that a run finds go to build/fuzz/run/corpus/<target> (kept for
# the next local run); the committed seeds are never changed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "fuzz.sh: FUZZ_SECONDS must be a whole number of seconds, not '$seconds'" >&2
  exit 2
fi

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

run=build/fuzz/run
mkdir -p "$run"
# The platform double keeps its files under TMPDIR and load_settings rewrites
# them for every input: in memory that is ten times faster than on disk.
scratch_parent=/dev/shm
[ -d "$scratch_parent" ] && [ -w "$scratch_parent" ] || scratch_parent="$PWD/$run"
TMPDIR=$(mktemp -d "$scratch_parent/tolva-fuzz.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
# A quarantine of 32 MB (256 by default) still outlasts any one input, and
# keeps load_settings' many small file reads twice as fast.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:quarantine_size_mb=32}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

summary=()
for target in "${targets[@]}"; do
  binary="build/fuzz/$target"
  if [ ! -x "$binary" ]; then
    echo "fuzz.sh: no fuzz target '$target' (fuzz/$target.cpp)" >&2
    exit 2
  fi
  corpus="$run/corpus/$target"
  findings="build/fuzz/findings/$target"
  log="$run/$target.log"
  mkdir -p "$corpus" "$findings" "fuzz/corpus/$target"
  flags=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f "fuzz/$target.dict" ] && flags+=(-dict="fuzz/$target.dict")

  echo "== fuzzing $target for $seconds s"
  if ! "$binary" "${flags[@]}" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 80 "$log"
    echo "fuzz.sh: $target failed (whole log: $log); the input is in $findings/" >&2
    exit 1
  fi
  # "#<runs> DONE cov: <edges> ft: <features> corp: <inputs>/<size> ..." and the final stats.
  done_line=$(grep -a '[[:space:]]DONE[[:space:]]' "$log" | tail -n 1)
  coverage=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  inputs=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p' <<<"$done_line")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  summary+=("$(printf '%-18s %12s %10s %9s %9s %12s' "$target" "$runs" "$rate" "$coverage" "$features" "$inputs")")
done

echo "== fuzzing summary ($seconds s per target)"
printf '%-18s %12s %10s %9s %9s %12s\n' target executions execs/s edges features corpus
printf '%s\n' "${summary[@]}"
