#!/usr/bin/env bash
# Sets everything up and starts the program.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/pelorin-greeting-designer"
fi
echo "No display found: starting the program in a virtual X server (xvfb-run)." >&2
exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$root/build/pelorin-greeting-designer"
