#!/usr/bin/env bash
# fuzz.sh [SECONDS]: fuzzes the replay driver with libFuzzer for SECONDS (60
# by default), with AddressSanitizer and UndefinedBehaviorSanitizer, built
# with clang in ./build-fuzz. The seed scripts come from tests/fuzz/corpus;
# new inputs go to build-fuzz/corpus. Fails on any crash, hang, leak or
# sanitizer report, leaving the input in build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

tools/require-packages.sh build-essential cmake libgtest-dev libgmock-dev libfast-float-dev libfmt-dev clang-14 libclang-rt-14-dev

flags="-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer -fno-sanitize-recover=all"
CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORUKAN_BUILD_APP=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target replay_fuzzer

mkdir -p build-fuzz/corpus build-fuzz/artifacts
log=build-fuzz/fuzz.log
echo "fuzz: ${seconds} s, log in $log"
if ! build-fuzz/tests/fuzz/replay_fuzzer build-fuzz/corpus tests/fuzz/corpus \
    -dict=tests/fuzz/replay.dict -max_total_time="$seconds" -timeout=10 -max_len=4096 \
    -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 >"$log" 2>&1; then
  tail -n 80 "$log" >&2
  echo "fuzz: failed; the input is in build-fuzz/artifacts" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || tail -n 5 "$log"
