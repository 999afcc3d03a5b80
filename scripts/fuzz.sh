#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target of a build configured with -DKVT_FUZZ=ON, two at a time, each starting
# from its committed corpus and regressions: fuzz.sh BUILD_DIR [SECONDS per target, default 60].
# Any finding (crash, sanitizer report, leak, timeout, out of memory) fails the run; the input
# that caused it is kept as BUILD_DIR/fuzz/<target>/crash-* (or leak-*, timeout-*, oom-*).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-60}
targets=(fuzz_receive fuzz_config_file fuzz_program_file fuzz_report_descriptor)
export QT_QPA_PLATFORM=offscreen

run() {
    local target=$1 out=$build/fuzz/$1
    rm -rf "$out"
    mkdir -p "$out/corpus"
    local inputs=()
    for dir in corpus regressions; do
        [ -d "tests/fuzz/$dir/$target" ] && inputs+=("tests/fuzz/$dir/$target")
    done
    # The window of fuzz_receive lives through all inputs and keeps what it shows, so memory
    # held after an input is no leak, and looking for leaks after every input would cost most
    # of the time; at exit the system's font library leaves blocks of its own behind.
    # (libFuzzer's own check runs an input again whenever allocations and frees differ, so it is
    # switched off as well.) Its inputs are runs of at most 8 full reports: the window's state
    # carries from one input to the next, so longer runs add time, not reach.
    local leaks=1 limits=()
    [ "$target" = fuzz_receive ] && leaks=0 && limits=(-detect_leaks=0 -max_len=512)
    # New inputs go to the build's own folder, so the committed corpus stays as it is. Allocation
    # stacks are not recorded (a finding is reported without them): they cost a sixth of the time.
    ASAN_OPTIONS="detect_leaks=$leaks:malloc_context_size=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" \
        "$build/tests/fuzz/$target" "${limits[@]}" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$out/" "$out/corpus" "${inputs[@]}" >"$out/log" 2>&1
}

report() {
    local target=$1 status=$2 log=$build/fuzz/$1/log
    local runs rate
    runs=$(sed -n 's/^stat::number_of_executed_units: //p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: //p' "$log")
    if [ "$status" -eq 0 ]; then
        echo "$target: ${runs:-?} executions, ${rate:-?}/s, no finding"
    else
        echo "$target: FINDING (exit $status)" >&2
        grep -E "ERROR|SUMMARY|check failed|Test unit written" "$log" >&2 || tail -n 20 "$log" >&2
    fi
}

failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    pair=("${targets[@]:i:2}")
    for target in "${pair[@]}"; do
        run "$target" &
        pids+=($!)
    done
    for k in "${!pair[@]}"; do
        status=0
        wait "${pids[$k]}" || status=$?
        report "${pair[$k]}" "$status"
        [ "$status" -eq 0 ] || failed=1
    done
done
exit $failed
