#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The hardware-path suite: kvtctl and the window against virtual controllers on the kernel's HID
# stack (/dev/uhid -> hidraw). Runs as root inside the throwaway guest of scripts/vm-test.sh:
#   suite.sh BUILD_DIR RESULTS_DIR
# Writes "ok NAME", "FAIL NAME: why" and "note TEXT" lines to RESULTS_DIR/results.txt, then
# "suite done". KVT_HID_BACKEND_LIST (default "hidraw hidapi") names the HID backends the kvtctl
# and hot-plug checks run with, one pass each (exported as KVT_HID_BACKEND).
set -u
B=$1
R=$2
out=$R/results.txt
: >"$out"
export QT_QPA_PLATFORM=offscreen HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/xdg LANG=C.UTF-8
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 777 "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"
backends=${KVT_HID_BACKEND_LIST:-hidraw hidapi}
[ -n "$backends" ] || backends="hidraw hidapi"
T=/tmp/suite
mkdir -p $T
UNPRIVILEGED=4242 # a numeric user and group without any rights on the device nodes

start=$(date +%s)
ok() { echo "ok $*" >>"$out"; echo "$(($(date +%s) - start)) ok $*"; }
fail() { echo "FAIL $*" >>"$out"; echo "$(($(date +%s) - start)) FAIL $*"; }
note() { echo "note $*" >>"$out"; echo "note $*"; }
now_ms() { date +%s%3N; }
# check NAME CONDITION-COMMAND... : ok when the command succeeds
check() {
    local name=$1
    shift
    if "$@"; then ok "$name"; else fail "$name: ${why:-failed}"; fi
    why=
}

# kvtctl with English messages; sets rc, and the output in $T/k.out, $T/k.err.
kctl() {
    "$B/kvtctl" --lang en "$@" >$T/k.out 2>$T/k.err
    rc=$?
}
# The value of a JSON key in $T/k.out (first occurrence, top level or nested).
jval() { grep -o "\"$1\":[^,}]*" $T/k.out | head -n 1 | cut -d: -f2- | tr -d '"'; }
# Numbers equal within single precision: "2.04" and "2.0399999618530273" both read 2.04.
near() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(a != "" && d < 1e-5) }'; }
expect_rc() { # expected [what]
    [ "$rc" = "$1" ] && return 0
    why="exit $rc, expected $1: $(head -c 300 $T/k.err) $(head -c 200 $T/k.out)"
    return 1
}

# --- the virtual controller: control lines through a FIFO, its replies in $T/vc.out ---
vc_start() { # models and options
    rm -f $T/vc.in
    mkfifo $T/vc.in
    exec 3<>$T/vc.in
    "$B/kvt-virtual-controller" --sim-state $T/vc-state.json "$@" <$T/vc.in >$T/vc.out 2>$T/vc.err &
    vc_pid=$!
    local models=0 arg
    for arg in "$@"; do case $arg in KVT*|PXA*) models=$((models + 1)) ;; esac; done
    wait_line $T/vc.out '^ready' 30 || { fail "virtual controller starts: $(cat $T/vc.err)"; return 1; }
    for _ in $(seq 100); do
        nodes=(/dev/hidraw*)
        [ -e "${nodes[0]}" ] && [ "${#nodes[@]}" -ge "$models" ] && return 0
        nap 0.1
    done
    fail "virtual controller: no hidraw node appeared"
    return 1
}
vc() { # a control line; waits for its reply
    local lines all
    mapfile -t all <$T/vc.out
    lines=${#all[@]}
    echo "$*" >&3
    for _ in $(seq 100); do
        mapfile -t all <$T/vc.out
        [ "${#all[@]}" -gt "$lines" ] && { echo "${all[-1]}"; return 0; }
        nap 0.05
    done
    return 1
}
vc_stop() {
    echo quit >&3
    wait "$vc_pid"
    exec 3>&-
    for _ in $(seq 50); do nodes=(/dev/hidraw*); [ -e "${nodes[0]}" ] || return 0; nap 0.1; done
}
# Waits without starting a process (each one costs much in an emulated guest).
mkfifo $T/nap
exec 9<>$T/nap
nap() { read -r -t "$1" -u 9 _; }
wait_line() { # file regex seconds
    local line
    for _ in $(seq $(($3 * 10))); do
        while IFS= read -r line; do [[ $line =~ $2 ]] && return 0; done <"$1"
        nap 0.1
    done
    return 1
}

# --- the window on the hidraw backend, watched through kvt-window-watch ---
watch_start() { # [setpriv arguments...]
    : >$T/w.out
    "$@" "$B/kvt-window-watch" --seconds 600 --screenshot "$R/window-hardware.png" >$T/w.out 2>$T/w.err &
    w_pid=$!
}
watch_stop() {
    kill "$w_pid" 2>/dev/null
    wait "$w_pid" 2>/dev/null
}
# The time of the first watcher line at or after SINCE (ms) matching REGEX, within SECONDS.
event_after() { # since regex seconds
    local ts rest
    for _ in $(seq $(($3 * 10))); do
        while read -r ts rest; do
            [ "$ts" -ge "$1" ] 2>/dev/null && [[ $rest =~ $2 ]] && { echo "$ts"; return 0; }
        done <$T/w.out
        nap 0.1
    done
    return 1
}
polls_now() {
    local ts word n=0 count
    while read -r ts word count; do [ "$word" = polls ] && n=$count; done <$T/w.out
    echo "$n"
}
polls_grow() { # seconds: the poll count grows within that time
    local before
    before=$(polls_now)
    for _ in $(seq $(($1 * 5))); do
        nap 0.2
        [ "$(polls_now)" -gt "$before" ] && return 0
    done
    return 1
}

# --- kvtctl through every command, on the one controller plugged in ---
kvtctl_checks() { # label
    local p="$1 kvtctl"
    kctl --json list
    check "$p list --json: the controller, its identity answered" \
        eval 'expect_rc 0 && grep -q "\"product\":\"KVT318\"" $T/k.out && grep -q "\"serial\":\"SIM1\"" $T/k.out &&
              grep -q "\"answered\":true" $T/k.out && near "$(jval firmware)" 2.04 && grep -q "\"deviceText\":\"SIM\"" $T/k.out &&
              grep -q "\"path\":\"/dev/hidraw" $T/k.out'
    kctl --json status
    check "$p status --json" eval 'expect_rc 0 && grep -q "\"command\":\"status\"" $T/k.out && grep -q "\"serial\":\"SIM1\"" $T/k.out'

    kctl config get -o $T/c1.kvt
    check "$p config get -o" eval 'expect_rc 0 && grep -q "^EncoderResol=" $T/c1.kvt'
    sed -e 's/^ModeOff=1/ModeOff=0/' -e 's/^ModeInc=0/ModeInc=1/' -e "s/^EncoderResol=[0-9]*/EncoderResol=$((1000 * pass))/" \
        $T/c1.kvt >$T/c2.kvt
    kctl --json config diff $T/c2.kvt
    check "$p config diff of a changed file: exit 6, the field named" \
        eval 'expect_rc 6 && grep -q "\"field\":\"Encoder" $T/k.out'
    kctl --json config set $T/c2.kvt
    check "$p config set --json: written and read back" eval 'expect_rc 0 && grep -q "\"mismatches\":\[\]" $T/k.out'
    kctl --json config diff $T/c2.kvt
    check "$p config diff after set: no difference" eval 'expect_rc 0 && grep -q "\"differences\":\[\]" $T/k.out'

    # 300 records of address 0: pause commands with their number as operand
    local i lo hi
    for ((i = 0; i < 300; i++)); do
        printf -v lo %03o $((i % 100))
        printf -v hi %03o $((i / 100))
        printf "\\000\\023\\$lo\\$hi\\000\\000\\000\\000\\000\\000\\000"
    done >$T/p300.txp
    kctl --json program send $T/p300.txp
    check "$p program send of 300 commands, verified" \
        eval 'expect_rc 0 && [ "$(jval commands)" = 300 ] && [ "$(jval verified)" = true ]'
    kctl --json program read -o $T/p-read.txp
    check "$p program read: the same 300 commands" eval 'expect_rc 0 && cmp -s $T/p300.txp $T/p-read.txp'

    kctl --json reg set R50=1.5 R52=0.1
    check "$p reg set --json" eval 'expect_rc 0'
    kctl --json reg get R50 R52
    check "$p reg get --json: the values set" \
        eval 'expect_rc 0 && near "$(grep -o "\"register\":50,\"value\":[^}]*" $T/k.out | cut -d: -f3)" 1.5 &&
              near "$(grep -o "\"register\":52,\"value\":[^}]*" $T/k.out | cut -d: -f3)" 0.1'

    kctl --json encoder-test
    check "$p encoder-test --json" eval 'expect_rc 0 && [ "$(jval verdict)" = correct ]'

    kctl move --to 1
    check "$p move without --allow-motion: exit 2" expect_rc 2
    kctl --json drive on --allow-motion
    check "$p drive on" expect_rc 0
    kctl --json move --to 1 --allow-motion --wait
    check "$p move --to 1 --wait" eval 'expect_rc 0 && near "$(jval position)" 1'
    kctl --json home --speed -2 --allow-motion --wait
    check "$p home --wait" expect_rc 0
    kctl --json stop
    check "$p stop" expect_rc 0
    kctl --json drive off --allow-motion
    check "$p drive off" expect_rc 0

    kctl --json --device NOSUCH status
    check "$p --device of an absent controller: exit 3" expect_rc 3
    kctl frobnicate
    check "$p unknown command: exit 2" expect_rc 2
}

# --- hot-plug while the window runs ---
hotplug_checks() { # label [first]: the first run also checks the identity line and silence
    local p="$1 window" t0 t
    if [ "${2:-}" = first ]; then
        watch_start
    else
        watch_start
    fi
    if ! event_after 0 '^connected KVT318' 90 >/dev/null; then
        fail "$p connects to the virtual controller: $(tail -n 3 $T/w.out | tr '\n' ' ') $(tail -n 3 $T/w.err | tr '\n' ' ')"
        watch_stop
        return
    fi
    ok "$p connects to the virtual controller"
    check "$p polls" polls_grow 5
    if [ "${2:-}" = first ]; then
        if event_after 0 'status .*KVT318 ver\. 2[.,]04 \[SIM\]' 10 >/dev/null; then
            ok "$p shows the controller's identity ($(grep -m1 'ver\. ' $T/w.out | cut -d' ' -f3-))"
        else
            fail "$p shows the controller's identity: $(grep status $T/w.out | tail -n 1)"
        fi
        check "$p screenshot in hardware mode" event_after 0 '^screenshot /' 10
        # A controller that stops answering: the window runs on, polling goes on when it answers.
        vc mute 1 >/dev/null
        nap 2
        check "$p silent controller: still running and polling" eval 'kill -0 $w_pid && polls_grow 3'
        local before
        before=$(vc count 1 | cut -d' ' -f5)
        polls_grow 2
        check "$p silent controller: no answer sent meanwhile" eval '[ "$(vc count 1 | cut -d" " -f5)" = "$before" ]'
        vc unmute 1 >/dev/null
        check "$p controller answers again: polls answered" eval 'polls_grow 3 && [ "$(vc count 1 | cut -d" " -f5)" -gt "$before" ]'
        check "$p no disconnection while silent" eval '! grep -q "^[0-9]* disconnected" $T/w.out'
    fi
    t0=$(now_ms)
    vc unplug 1 >/dev/null
    if t=$(event_after "$t0" '^disconnected' 5); then
        check "$p unplug: disconnected in $((t - t0)) ms (at most 2000)" [ $((t - t0)) -le 2000 ]
        why="status lines: $(grep ' status ' $T/w.out | tail -n 2 | tr '\n' ' ')"
        check "$p unplug: shows \"Brak urządzenia\"" event_after "$t0" '^status Brak urz' 3
    else
        fail "$p unplug: no disconnection within 5 s"
    fi
    t0=$(now_ms)
    vc plug 1 >/dev/null
    if t=$(event_after "$t0" '^connected KVT318' 5); then
        check "$p replug: connected again in $((t - t0)) ms (at most 2000)" [ $((t - t0)) -le 2000 ]
    else
        fail "$p replug: no connection within 5 s"
    fi
    check "$p replug: polls again" polls_grow 5
    # The new device's first output report is the greeting: nothing queued for the vanished one
    # reached the node.
    local count
    count=$(vc count 1)
    check "$p replug: the new device's first command is 100 ($count)" eval '[ "$(echo "$count" | cut -d" " -f4)" = 100 ]'
    check "$p still running" kill -0 "$w_pid"
    watch_stop
}

echo "== suite: backends $backends"
modprobe_note=$(ls -l /dev/uhid 2>&1)
[ -c /dev/uhid ] || fail "/dev/uhid present: $modprobe_note"

# The first backend without udev running (hot-plug noticed by the 1 s rescan), then the checks
# that do not depend on the backend, then udev and the other backends: so that a guest stopped at
# its time limit has run every kind of check.
set -- $backends
first_backend=$1
shift
other_backends=$*
pass=1
export KVT_HID_BACKEND=$first_backend
vc_start KVT318 || { echo "suite done" >>"$out"; exit 1; }
kvtctl_checks "[$first_backend]"
hotplug_checks "[$first_backend, rescan]" first

# A controller that stops answering: kvtctl gives up after its time-out. Measured against the
# same command answered, so the start-up of kvtctl (seconds, in an emulated guest) is not counted.
t0=$(now_ms)
kctl --json --timeout 800 status
base=$(($(now_ms) - t0))
vc mute 1 >/dev/null
t0=$(now_ms)
kctl --json --timeout 800 status
t=$(($(now_ms) - t0))
check "kvtctl, silent controller: exit 5, $((t - base)) ms longer than when answered (time-out 800 ms)" \
    eval 'expect_rc 5 && [ $((t - base)) -le 1500 ]'
vc unmute 1 >/dev/null

# No access: the node readable by root only, kvtctl and the window as an unprivileged user.
chmod 600 /dev/hidraw*
chown root:root /dev/hidraw*
as_user=(setpriv --reuid=$UNPRIVILEGED --regid=$UNPRIVILEGED --clear-groups)
"${as_user[@]}" "$B/kvtctl" --lang en status >$T/k.out 2>$T/k.err
rc=$?
check "kvtctl without access: exit 4 with the udev hint" eval 'expect_rc 4 && grep -q "udev" $T/k.err'
"${as_user[@]}" "$B/kvtctl" --lang en --json list >$T/k.out 2>$T/k.err
rc=$?
check "kvtctl list without access: listed, \"access\":false" eval 'expect_rc 0 && grep -q "\"access\":false" $T/k.out'
watch_start "${as_user[@]}"
if event_after 0 '^listed .*KVT318' 90 >/dev/null; then
    nap 2
    check "window without access: lists the device, does not connect" eval '! grep -q "^[0-9]* connected" $T/w.out'
else
    fail "window without access: the device was not listed: $(tail -n 3 $T/w.err | tr '\n' ' ')"
fi
check "window without access: still running" kill -0 "$w_pid"
watch_stop
vc_stop

# Two controllers at once.
vc_start KVT318 PXA-KVT && {
    kctl --json --device SIM2 status
    check "two controllers: kvtctl --device SIM2 reaches the PXA-KVT" eval 'expect_rc 0 && grep -q "\"product\":\"PXA-KVT\"" $T/k.out'
    kctl --json --device SIM1 status
    check "two controllers: kvtctl --device SIM1 reaches the KVT318" eval 'expect_rc 0 && grep -q "\"product\":\"KVT318\"" $T/k.out'
    kctl --json status
    check "two controllers: kvtctl without --device: exit 3" expect_rc 3
    watch_start
    if listed=$(event_after 0 '^listed .*,' 90) && event_after 0 '^status .* ver\. ' 30 >/dev/null; then
        nap 1
        last=$(grep '^[0-9]* listed' $T/w.out | tail -n 1 | cut -d' ' -f3 | tr , '\n' | grep -E '^(KVT318|KVT317|PXA-KVT)$' | tail -n 1)
        shown=$(grep ' ver\. ' $T/w.out | tail -n 1 | cut -d' ' -f3-)
        check "two controllers: the window ends on the last one listed ($last): \"$shown\"" \
            eval '[ -n "$last" ] && echo "$shown" | grep -q -- "$last ver"'
    else
        fail "two controllers: the window did not connect: $(tail -n 3 $T/w.out | tr '\n' ' ')"
    fi
    watch_stop
    vc_stop
}

# Output reports shorter and longer than a controller's 65 bytes.
for length in 9 129; do
    vc_start --output-length $length KVT318 || continue
    kctl --json list
    check "output report of $length bytes: kvtctl list answered" \
        eval 'expect_rc 0 && grep -q "\"answered\":true" $T/k.out'
    kctl --json reg set R50=2.5
    check "output report of $length bytes: kvtctl reg set ends without a crash (exit $rc)" [ "$rc" -lt 128 ]
    watch_start
    if event_after 0 '^connected KVT318' 90 >/dev/null; then
        check "output report of $length bytes: the window connects and polls" polls_grow 5
    else
        fail "output report of $length bytes: the window did not connect"
    fi
    check "output report of $length bytes: the window still runs" kill -0 "$w_pid"
    watch_stop
    vc_stop
done

# The other backends without udev, then every backend with udev (the udev monitor).
vc_start KVT318 || { echo "suite done" >>"$out"; exit 1; }
for backend in $other_backends; do
    pass=$((pass + 1))
    export KVT_HID_BACKEND=$backend
    kvtctl_checks "[$backend]"
    hotplug_checks "[$backend, rescan]"
done
if [ -x /lib/systemd/systemd-udevd ]; then
    /lib/systemd/systemd-udevd --daemon >/dev/null 2>&1
    for _ in $(seq 50); do [ -e /run/udev/control ] && break; nap 0.1; done
    if [ -e /run/udev/control ]; then
        for backend in $backends; do
            export KVT_HID_BACKEND=$backend
            hotplug_checks "[$backend, udev]"
        done
    else
        fail "systemd-udevd starts in the guest"
    fi
    udevadm control --exit >/dev/null 2>&1
else
    note "no systemd-udevd on this machine: the udev monitor is not tried"
fi
vc_stop

cp $T/*.out $T/*.err "$R/" 2>/dev/null
echo "suite done" >>"$out"
