#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders every page of the main window, the four secondary windows and the first page of a
# commissioning report, in Polish and English, with a simulated KVT318 connected, into
# docs/screenshots/: screenshots.sh [BUILD_DIR].
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# The program runs from a neutral folder, so the pictures show no developer's path in the status bar,
# with settings of its own, so the trend window shows its defaults.
stage=/tmp/kvt-revizareduva
rm -rf "$stage"
mkdir -p "$stage/TX_PROG/build"
export XDG_CONFIG_HOME="$stage/config"
cp "$build/kvt-revizareduva" "$stage/"
cp "$build/TX_PROG/build/program_data.txp" "$stage/TX_PROG/build/" 2>/dev/null || true
program="$stage/kvt-revizareduva"
out=docs/screenshots
mkdir -p "$out"
pages=(control configuration rs485 program functions)
for language in pl en; do
    for page in 0 1 2 3 4; do
        "$program" --simulate --screenshot "$out/${pages[$page]}-$language.png" \
            --screenshot-page "$page" --screenshot-language "$language"
    done
    # The RS485 page with Modbus frames arriving, decoded; the switch it keeps stays out of the
    # other pictures' settings.
    XDG_CONFIG_HOME="$stage/config-decoded" "$program" --simulate --screenshot "$out/rs485-decoded-$language.png" \
        --screenshot-modbus-decoded --screenshot-language "$language"
    for window in TForm2 TForm3 TFormProgress TFormTrend; do
        "$program" --simulate --screenshot "$out/$window-$language.png" \
            --screenshot-window "$window" --screenshot-language "$language"
    done
done
# The first page of a commissioning report of a simulated KVT318 with the demo program.
if command -v pdftoppm >/dev/null; then
    for language in pl en; do
        rm -f "$stage/sim.json" "$stage/report.pdf"
        "$build/kvtctl" --simulate --sim-state "$stage/sim.json" program send "$stage/TX_PROG/build/program_data.txp" \
            >/dev/null
        "$build/kvtctl" --simulate --sim-state "$stage/sim.json" --lang "$language" report -o "$stage/report.pdf" \
            --operator "Jan Kowalski" --site "Hala 2, linia 3" --notes "Uruchomienie po wymianie silnika" >/dev/null
        pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$stage/report.pdf" "$out/report-$language"
    done
fi
echo "screenshots in $out"
