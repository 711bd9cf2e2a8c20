#!/usr/bin/env bash
# Builds the web edition into build-web, installs the browser and the test's
# npm packages, and measures the page in headless Chromium: the rows of the
# benchmark table for the web edition (web/bench/bench.mjs; the shipped site
# build-web/site and its test build build-web/site-test). Exits non-zero when
# a target is missed.
# Usage: tools/web-bench.sh [LOADS]   LOADS loads of each page (default 61)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/web.sh build build-web >/dev/null
tools/web.sh browser >/dev/null
exec node web/bench/bench.mjs build-web/site "$@"
