#!/bin/busybox sh
# SPDX-License-Identifier: GPL-3.0-or-later
# /init of the throwaway guest of scripts/vm-test.sh: loads the 9p and HID modules, mounts the
# host's root file system read-only over 9p with fresh /dev, /proc, /sys, /tmp and /run, mounts the
# writable results share at /tmp/results, and runs the hardware-path suite there.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
for m in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci netfs fscache \
         9pnet 9pnet_virtio 9p hid uhid hid-generic; do
    insmod /modules/$m.ko || echo "guest: insmod $m failed"
done
suite=; build=; backends=
for word in $(cat /proc/cmdline); do
    case "$word" in
        kvt_suite=*) suite=${word#kvt_suite=} ;;
        kvt_build=*) build=${word#kvt_build=} ;;
        kvt_backends=*) backends=$(echo "${word#kvt_backends=}" | tr , ' ') ;;
    esac
done
r=/newroot
mkdir -p $r
mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=loose hostroot $r || echo "guest: no host root"
mount -t devtmpfs dev $r/dev
mkdir -p $r/dev/shm && mount -t tmpfs shm $r/dev/shm
mount -t proc proc $r/proc
mount -t sysfs sys $r/sys
mount -t tmpfs tmp $r/tmp
mount -t tmpfs run $r/run
mkdir -p $r/tmp/results
mount -t 9p -o trans=virtio,version=9p2000.L results $r/tmp/results || echo "guest: no results share"
echo booted > $r/tmp/results/booted
chroot $r /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp/home LANG=C.UTF-8 \
    KVT_HID_BACKEND_LIST="$backends" /bin/bash "$suite" "$build" /tmp/results \
    > $r/tmp/results/suite.log 2>&1
echo "guest: suite ended with $?"
sync
umount $r/tmp/results
poweroff -f
