#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# Builds the Debian package: installs what the build needs (through sudo when
# not run as root), builds a clean copy of the sources with dpkg-buildpackage
# and leaves pelorin-greeting-designer_<version>_<arch>.deb in build/ (or the
# folder given as $1). Prints the package's path as its last line.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/build}

"$root/scripts/install-packages.sh" "$root/scripts/packages.txt"

mkdir -p "$out"
out=$(cd "$out" && pwd)
name=pelorin-greeting-designer
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
arch=$(dpkg --print-architecture)

# dpkg-buildpackage builds in the source tree and writes beside it, so give it
# a copy of its own: the work tree and the folder above it stay untouched.
work=$out/package-build
rm -rf "$work"
mkdir -p "$work/$name-$version"
tar -C "$root" --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . | tar -C "$work/$name-$version" -xf -
(cd "$work/$name-$version" &&
 DEB_BUILD_OPTIONS="noautodbgsym parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -b -us -uc)

deb=$out/${name}_${version}_${arch}.deb
cp "$work/${name}_${version}_${arch}.deb" "$deb"
rm -rf "$work"
echo "$deb"
