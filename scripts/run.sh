#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# Sets everything up and starts the program from the build tree. Run it as
# the desktop user: packages are installed through sudo, the program runs as you.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
if [ "$(id -u)" -eq 0 ]; then
  echo "Note: running the program as root; a desktop program is meant to run as an ordinary user." >&2
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/pelorin-greeting-designer"
fi
echo "No display found: starting the program in a virtual X server (xvfb-run)." >&2
exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$root/build/pelorin-greeting-designer"
