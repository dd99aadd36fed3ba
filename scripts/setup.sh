#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# Installs the Debian packages the program and its tests need (through sudo
# when not run as root), then configures and builds into build/ (or the folder
# given as $1, with any further arguments passed to cmake) as the user who
# runs it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
shift || true

"$root/scripts/install-packages.sh" "$root/scripts/packages.txt"

cmake -S "$root" -B "$build" "$@"
cmake --build "$build" -j"$(nproc)"
