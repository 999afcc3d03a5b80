#!/usr/bin/env bash
# Renders every page of the main window and the three secondary windows, in Polish and English,
# with a simulated KVT318 connected, into docs/screenshots/: screenshots.sh [BUILD_DIR].
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
program="$build/kvt-revizareduva"
out=docs/screenshots
mkdir -p "$out"
pages=(control configuration rs485 program functions)
for language in pl en; do
    for page in 0 1 2 3 4; do
        "$program" --simulate --screenshot "$out/${pages[$page]}-$language.png" \
            --screenshot-page "$page" --screenshot-language "$language"
    done
    for window in TForm2 TForm3 TFormProgress; do
        "$program" --simulate --screenshot "$out/$window-$language.png" \
            --screenshot-window "$window" --screenshot-language "$language"
    done
done
echo "screenshots in $out"
