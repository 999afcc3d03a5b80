#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the Debian package that scripts/package.sh built. CI does not run it; it needs
#   sudo apt-get install lintian desktop-file-utils appstream
# Usage:
#   scripts/check-package.sh            lintian (no errors), desktop-file-validate, appstreamcli validate
#   scripts/check-package.sh --install  then also installs the package with apt, runs both programs
#                                       from /usr/bin, removes the package and checks that none of its
#                                       files is left (needs root or sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls build-package/package/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "no package: run scripts/package.sh first" >&2; exit 1; }
for tool in lintian desktop-file-validate appstreamcli dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (see the comment at the top)" >&2; exit 1; }
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

echo "== $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

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

[ "${1:-}" = "--install" ] || exit 0

echo "== install"
$sudo apt-get install -y "$(realpath "$deb")"
dpkg -L kvt-revizareduva > "$tmp/files"
cat "$tmp/files"
echo "== run from /usr/bin"
(cd "$tmp" && /usr/bin/kvtctl --simulate --sim-state "$tmp/state.json" list)
(cd "$tmp" && /usr/bin/kvt-revizareduva --simulate --screenshot "$tmp/window.png")
[ -s "$tmp/window.png" ] && echo "screenshot written: $(stat -c %s "$tmp/window.png") bytes"
echo "== remove"
$sudo apt-get remove -y kvt-revizareduva
left=0
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then echo "left behind: $path" >&2; left=1; fi
done < "$tmp/files"
for dir in /usr/share/doc/kvt-revizareduva; do
  if [ -e "$dir" ]; then echo "left behind: $dir" >&2; left=1; fi
done
# Not even dpkg's record may stay (a package with a postrm would stay "config-files" until purged).
dpkg -s kvt-revizareduva >/dev/null 2>&1 && { echo "still known to dpkg: $(dpkg -s kvt-revizareduva | grep Status)" >&2; left=1; }
[ $left -eq 0 ] && echo "nothing left behind"
exit $left
