#!/usr/bin/env bash
# Runs one fuzz target under libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, built with clang in build-fuzz/:
#
#   scripts/fuzz.sh NAME SECONDS     (NAME: layout, bmp, jpeg, perf_data, proc)
#
# The run starts from the committed corpus (tests/fuzz/corpus/NAME) and keeps
# what it learns in build-fuzz/corpus/NAME; an input that crashes lands in
# build-fuzz/findings/NAME/. Commit such an input under
# tests/fuzz/reproducers/NAME/ with the mend: the tests replay every one.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: $0 NAME SECONDS" >&2
  exit 2
fi
name=${1#vidorex_fuzz_}
seconds=$2
target=vidorex_fuzz_$name
if [ ! -f "tests/fuzz/fuzz_$name.cpp" ]; then
  echo "no fuzz target \"$name\"; there are: $(cd tests/fuzz && ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$//' | tr '\n' ' ')" >&2
  exit 2
fi
command -v clang++ >/dev/null || { echo "clang++ is missing: scripts/setup.sh installs it" >&2; exit 1; }

build=build-fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target" -j"$(nproc)" >/dev/null

work="$build/corpus/$name"
findings="$build/findings/$name"
mkdir -p "$work" "$findings"
# Reproducers and seeds are read, never written: new inputs go to $work.
seeds=("tests/fuzz/corpus/$name")
[ -d "tests/fuzz/reproducers/$name" ] && seeds+=("tests/fuzz/reproducers/$name")
# Leaks are reported at the end of each input: one per run is enough to learn of it.
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$findings/" "$work" "${seeds[@]}"
