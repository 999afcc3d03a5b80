#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a plain build and once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== Build and test =="
scripts/build.sh build
ctest --test-dir build --output-on-failure -j2

echo "== Build and test under AddressSanitizer + UndefinedBehaviorSanitizer =="
BUILD_TYPE=Debug scripts/build.sh build-asan -DKVT_SANITIZE=ON
ctest --test-dir build-asan --output-on-failure -j2
