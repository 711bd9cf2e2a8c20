#!/usr/bin/env bash
# Sets up, builds and runs every test. Needs no display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
