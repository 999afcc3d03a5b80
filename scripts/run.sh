#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the application with a simulated KVT318.
#   scripts/run.sh                 simulated controller (default)
#   scripts/run.sh --hardware      a real controller on USB
#   scripts/run.sh --simulate=KVT317 ...   any option of the program (see --help)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build

args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  args=(--simulate)
elif [ "${args[0]}" = "--hardware" ]; then
  args=("${args[@]:1}")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot="$PWD/build/screenshot.png"
  echo "No display here (DISPLAY is not set), so the window cannot open."
  echo "Writing a picture of it instead: $shot"
  exec build/kvt-revizareduva "${args[@]}" --screenshot "$shot"
fi
exec build/kvt-revizareduva "${args[@]}"
