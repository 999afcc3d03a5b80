#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of both programs into build-package/package/:
#   scripts/package.sh
# It holds the two programs, the udev rule, a desktop entry with icons, AppStream metadata, manual
# pages and bash completion; its dependencies come from dpkg-shlibdeps. scripts/check-package.sh
# checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=build-package
# Debian's hardening flags (stack protector, fortified functions, read-only relocations, bind now).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DKVT_PACKAGE=ON -DKVT_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target kvt-revizareduva kvtctl kvt_package_files
rm -rf "$dir/package"
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/package/*.deb
