#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the Debian package that scripts/package.sh built. CI does not run it; it needs
#   sudo apt-get install lintian desktop-file-utils appstream
# Usage:
#   scripts/check-package.sh            lintian (no errors), desktop-file-validate, appstreamcli
#                                       validate, manual pages; the trend window's module is in the
#                                       program's private library folder and the unpacked program
#                                       opens the trend window from it
#   scripts/check-package.sh --install  then also installs the package with apt, runs both programs
#                                       from /usr/bin (the window with its trend window too),
#                                       removes the package and checks that none of its files is
#                                       left (needs root or sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls build-package/package/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "no package: run scripts/package.sh first" >&2; exit 1; }
for tool in lintian desktop-file-validate appstreamcli dpkg-deb dpkg-architecture; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (see the comment at the top)" >&2; exit 1; }
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

echo "== $deb ($(stat -c %s "$deb") bytes)"
# Every control field (dpkg-deb lists them in the order the control file has them).
dpkg-deb --info "$deb" | sed -n '/^ [A-Z][A-Za-z-]*: /,$p'

echo "== lintian"
# Run as an ordinary user where possible: lintian warns when it runs as root.
lintian --fail-on error --display-info "$deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"

echo "== desktop-file-validate"
desktop-file-validate "$tmp"/root/usr/share/applications/*.desktop

echo "== appstreamcli validate"
appstreamcli validate --no-net --explain "$tmp"/root/usr/share/metainfo/*.metainfo.xml

echo "== manual pages"
for page in "$tmp"/root/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || { echo "$page: $warnings" >&2; exit 1; }
done
echo "no warnings"

# The window's screenshots need no display.
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen

# Opens the trend window of the program $1 on a simulated controller and checks that it was drawn:
# the program loads the window's module only then, and exits with 1 when it cannot.
opens_trend_window() {
  rm -f "$tmp/trend.png"
  (cd "$tmp" && "$1" --simulate --sim-state "$tmp/trend-state.json" --screenshot "$tmp/trend.png" \
    --screenshot-window TFormTrend)
  [ -s "$tmp/trend.png" ] || { echo "$1 did not open the trend window" >&2; exit 1; }
  echo "trend window drawn: $(stat -c %s "$tmp/trend.png") bytes"
}

echo "== trend window module"
module_dir=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/kvt-revizareduva
module=$module_dir/kvt-revizareduva-trend.so
[ -f "$tmp/root/$module" ] || { echo "the package lacks /$module" >&2; exit 1; }
echo "/$module: $(stat -c %s "$tmp/root/$module") bytes"
# The program finds the module relative to its own folder, so the unpacked tree behaves as installed.
opens_trend_window "$tmp/root/usr/bin/kvt-revizareduva"

[ "${1:-}" = "--install" ] || exit 0

echo "== install"
$sudo apt-get install -y "$(realpath "$deb")"
dpkg -L kvt-revizareduva > "$tmp/files"
cat "$tmp/files"
echo "== run from /usr/bin"
(cd "$tmp" && /usr/bin/kvtctl --simulate --sim-state "$tmp/state.json" list)
(cd "$tmp" && /usr/bin/kvt-revizareduva --simulate --screenshot "$tmp/window.png")
[ -s "$tmp/window.png" ] && echo "screenshot written: $(stat -c %s "$tmp/window.png") bytes"
opens_trend_window /usr/bin/kvt-revizareduva
echo "== remove"
$sudo apt-get remove -y kvt-revizareduva
left=0
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then echo "left behind: $path" >&2; left=1; fi
done < "$tmp/files"
for dir in /usr/share/doc/kvt-revizareduva "/$module_dir"; do
  if [ -e "$dir" ]; then echo "left behind: $dir" >&2; left=1; fi
done
# Not even dpkg's record may stay (a package with a postrm would stay "config-files" until purged).
dpkg -s kvt-revizareduva >/dev/null 2>&1 && { echo "still known to dpkg: $(dpkg -s kvt-revizareduva | grep Status)" >&2; left=1; }
[ $left -eq 0 ] && echo "nothing left behind"
exit $left
