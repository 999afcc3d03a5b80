#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test: once in a plain build (then the hardware
# path in a virtual machine, scripts/vm-test.sh) and once under AddressSanitizer and
# UndefinedBehaviorSanitizer (clang), whose build also runs the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== Build and test =="
scripts/build.sh build
ctest --test-dir build --output-on-failure -j2 -LE perf

echo "== The hardware path on the kernel's HID stack, in a virtual machine =="
scripts/vm-test.sh build

echo "== Naming rules (clang-tidy) =="
scripts/tidy.sh build

echo "== A project that adds this one as a subdirectory and links the test rig =="
cmake -S tests/consumer -B build-consumer -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-consumer -j"$(nproc)" --target rig_consumer
ctest --test-dir build-consumer --output-on-failure

echo "== Build and test under AddressSanitizer + UndefinedBehaviorSanitizer (clang) =="
BUILD_TYPE=Debug scripts/build.sh build-asan -DKVT_SANITIZE=ON -DKVT_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir build-asan --output-on-failure -j2 -LE perf

echo "== Fuzz targets, 60 s each =="
scripts/fuzz.sh build-asan 60
