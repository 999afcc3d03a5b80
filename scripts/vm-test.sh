#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The hardware path on the kernel's HID stack: boots a throwaway virtual machine (QEMU) whose
# kernel has HID, hidraw and uhid, shares this machine's root file system with it read-only, and
# runs tests/hardware/suite.sh there against virtual controllers (kvt-virtual-controller) through
# /dev/hidraw*. Prints one line per check and "N passed, N failed"; exits non-zero on a failure.
# Where no guest can be started it says why and exits 0.
#
#   scripts/vm-test.sh [BUILD_DIR]        (default: build, as scripts/test.sh makes it)
#
# KVT_HID_BACKEND_LIST (default "hidraw hidapi"): the HID backends the kvtctl and hot-plug checks
# run with, one pass each.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=$(realpath -m "${1:-build}")
work=$build/vm-test
backends=${KVT_HID_BACKEND_LIST:-hidraw hidapi}
limit=${KVT_VM_TIMEOUT:-600} # seconds the guest may run
suite=${KVT_VM_SUITE:-$repo/tests/hardware/suite.sh} # another suite, for working on this script

skip() {
    echo "SKIP  vm-test: $*"
    echo "0 passed, 0 failed (skipped)"
    exit 0
}

# What the guest needs from this machine: QEMU, a kernel with its modules, a static busybox.
kernel_present() { compgen -G "/boot/vmlinuz-*" >/dev/null && [ -d /lib/modules ]; }
missing=()
command -v qemu-system-x86_64 >/dev/null || missing+=(qemu-system-x86)
kernel_present || missing+=(linux-image-amd64)
dpkg -s busybox-static >/dev/null 2>&1 || missing+=(busybox-static)
if [ ${#missing[@]} -gt 0 ]; then
    command -v apt-get >/dev/null || skip "needs ${missing[*]} and there is no apt-get to install them"
    [ "$(id -u)" = 0 ] || skip "needs ${missing[*]}; installing them needs root"
    echo "vm-test: installing ${missing[*]}"
    if ! compgen -G "/var/lib/apt/lists/*_Packages" >/dev/null; then
        apt-get update -qq >/dev/null 2>&1 || skip "apt-get update failed (no network?)"
    fi
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        >"$build/vm-test-install.log" 2>&1; then
        apt-get update -qq >/dev/null 2>&1
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
            >"$build/vm-test-install.log" 2>&1 ||
            skip "installing ${missing[*]} failed (see $build/vm-test-install.log)"
    fi
fi
case "$build/" in
    /tmp/*|/run/*|/dev/*|/proc/*|/sys/*)
        skip "the build folder $build is in a file system the guest mounts afresh; use one elsewhere" ;;
esac
[ "$(uname -m)" = x86_64 ] || skip "the guest is an x86-64 machine and this one is $(uname -m)"

version=$(ls /lib/modules | sort -V | tail -n 1)
kernel=/boot/vmlinuz-$version
[ -r "$kernel" ] || skip "no readable kernel $kernel for the modules in /lib/modules/$version"
modules=/lib/modules/$version/kernel

# The programs the suite runs, from the plain build.
targets=(kvtctl kvt-revizareduva kvt-virtual-controller kvt-window-watch)
for t in "${targets[@]}"; do
    if [ ! -x "$build/$t" ]; then
        [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
        cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >/dev/null || {
            echo "FAIL  vm-test: building ${targets[*]} failed"
            echo "0 passed, 1 failed"
            exit 1
        }
        break
    fi
done

# The initramfs: busybox, the modules, the init script. Rebuilt when one of them changes.
mkdir -p "$work"
initrd=$work/initramfs-$version.cpio.gz
stamp=$(cat tests/hardware/guest-init.sh /bin/busybox | sha256sum | cut -c1-16)
if [ ! -s "$initrd" ] || [ "$(cat "$work/initramfs.stamp" 2>/dev/null)" != "$version-$stamp" ]; then
    tree=$work/initramfs
    rm -rf "$tree"
    mkdir -p "$tree"/{bin,dev,proc,sys,modules,newroot}
    cp /bin/busybox "$tree/bin/busybox"
    cp tests/hardware/guest-init.sh "$tree/init"
    for m in drivers/virtio/virtio_ring drivers/virtio/virtio drivers/virtio/virtio_pci_modern_dev \
             drivers/virtio/virtio_pci_legacy_dev drivers/virtio/virtio_pci fs/netfs/netfs fs/fscache/fscache \
             net/9p/9pnet net/9p/9pnet_virtio fs/9p/9p drivers/hid/hid drivers/hid/uhid drivers/hid/hid-generic; do
        name=$(basename "$m")
        if [ -f "$modules/$m.ko" ]; then
            cp "$modules/$m.ko" "$tree/modules/$name.ko"
        elif [ -f "$modules/$m.ko.xz" ]; then
            xz -dc "$modules/$m.ko.xz" >"$tree/modules/$name.ko"
        elif [ -f "$modules/$m.ko.zst" ]; then
            zstd -qdc "$modules/$m.ko.zst" >"$tree/modules/$name.ko"
        else
            echo "vm-test: note: module $m not found for $version (built in?)"
        fi
    done
    (cd "$tree" && find . | cpio -o -H newc --quiet | gzip -1) >"$initrd"
    echo "$version-$stamp" >"$work/initramfs.stamp"
fi

results=$work/results
rm -rf "$results"
mkdir -p "$results"
chmod 777 "$results"

# KVM only where it boots: a guest that has not reached its init within 40 s is retried on TCG.
boot() { # accel, seconds
    local accel=$1 seconds=$2
    rm -f "$results/booted"
    timeout "$seconds" qemu-system-x86_64 -accel "$accel" -m 1536 -smp 2 \
        -kernel "$kernel" -initrd "$initrd" \
        -append "console=ttyS0 panic=-1 loglevel=4 no_timer_check kvt_suite=$suite kvt_build=$build kvt_backends=${backends// /,}" \
        -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
        -virtfs "local,path=$results,mount_tag=results,security_model=none" \
        -nographic -no-reboot -monitor none -serial "file:$work/console-$accel.log" >/dev/null 2>"$work/qemu-$accel.log" &
    qemu=$!
}
wait_booted() { # seconds: true once the guest's init has run
    for _ in $(seq "$(($1 * 2))"); do
        [ -e "$results/booted" ] && return 0
        kill -0 "$qemu" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}
started=$(date +%s)
accel=tcg
if [ -w /dev/kvm ] && [ -r /dev/kvm ]; then
    boot kvm "$limit"
    if wait_booted 40; then
        accel=kvm
    else
        kill "$qemu" 2>/dev/null
        wait "$qemu" 2>/dev/null
        echo "vm-test: the guest does not boot with KVM here; using TCG"
    fi
fi
if [ "$accel" = tcg ]; then
    boot tcg "$limit"
    if ! wait_booted 150; then
        if ! kill -0 "$qemu" 2>/dev/null && grep -qi "could not\|failed\|error" "$work/qemu-tcg.log"; then
            skip "QEMU cannot start a guest here: $(head -n 3 "$work/qemu-tcg.log" | tr '\n' ' ')"
        fi
        kill "$qemu" 2>/dev/null
        wait "$qemu" 2>/dev/null
        echo "FAIL  vm-test: the guest did not reach its init within 150 s (see $work/console-tcg.log)"
        echo "0 passed, 1 failed"
        exit 1
    fi
fi
wait "$qemu"
status=$?
elapsed=$(($(date +%s) - started))

passed=0
failed=0
if [ -s "$results/results.txt" ]; then
    while IFS= read -r line; do
        case "$line" in
            "ok "*) echo "PASS  ${line#ok }"; passed=$((passed + 1)) ;;
            "FAIL "*) echo "FAIL  ${line#FAIL }"; failed=$((failed + 1)) ;;
            "note "*) echo "      ${line#note }" ;;
        esac
    done <"$results/results.txt"
fi
if ! grep -q "^suite done" "$results/results.txt" 2>/dev/null; then
    if [ "$status" = 124 ]; then
        echo "FAIL  vm-test: the guest ran longer than $limit s and was stopped"
    else
        echo "FAIL  vm-test: the suite did not finish (QEMU exit $status)"
    fi
    echo "      console: $work/console-$accel.log; suite log: $results/suite.log"
    tail -n 15 "$results/suite.log" 2>/dev/null | sed 's/^/      | /'
    failed=$((failed + 1))
fi
echo "vm-test: $accel guest, $elapsed s; screenshots and logs in $results"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
