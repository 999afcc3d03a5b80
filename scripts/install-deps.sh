#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing need on Debian 12, only where it is missing.
set -euo pipefail

packages=(build-essential cmake pkg-config qt6-base-dev qt6-charts-dev libhidapi-dev libudev-dev libgl-dev fonts-dejavu-core
          clang-tidy libbenchmark-dev clang libfuzzer-14-dev poppler-utils
          tshark) # tshark: the Modbus pcap captures are checked against Wireshark's decoder
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
