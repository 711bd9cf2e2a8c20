#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer in
# ./build-asan and runs them with leak checking on. Any report fails this
# script: each one aborts its program, which CTest counts as a failure even in
# a test that expects its program to fail, and address and leak reports are
# also collected in build-asan/sanitizer-logs.
set -euo pipefail
cd "$(dirname "$0")/.."

# The set-up installs what the whole suite needs, the window's tests included.
tools/setup.sh >/dev/null

flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORUKAN_BUILD_APP=ON \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan -j"$(nproc)"

logs="$PWD/build-asan/sanitizer-logs"
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:abort_on_error=1"
status=0
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" || status=$?

if compgen -G "$logs/*" >/dev/null; then
  echo "sanitize: sanitizer reports:" >&2
  cat "$logs"/* >&2
  exit 1
fi
exit "$status"
