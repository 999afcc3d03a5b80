#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the naming rules of .clang-tidy over src/ and rig/: tidy.sh BUILD_DIR (a configured build
# with compile_commands.json). Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mapfile -t files < <(git ls-files 'src/*.cpp' 'rig/*.cpp')
run-clang-tidy -quiet -p "$build" "${files[@]}" >"$build/tidy.log" 2>&1 || {
    grep -E "(warning|error):" "$build/tidy.log" | sort -u
    echo "clang-tidy: naming findings above" >&2
    exit 1
}
echo "clang-tidy: naming clean (${#files[@]} files)"
