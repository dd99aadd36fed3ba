#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, then
# configures and builds into build/ (or the folder given as $1, with any
# further arguments passed to cmake).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
shift || true

packages=$(grep -v -E '^\s*(#|$)' "$root/scripts/packages.txt" | tr '\n' ' ')
missing=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' $packages 2>/dev/null | awk '$2 != "installed" {print $1}' || true)
# dpkg-query leaves out packages it has never heard of: count those too.
for package in $packages; do
  dpkg-query -W "$package" >/dev/null 2>&1 || missing="$missing $package"
done
if [ -n "${missing// /}" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  # shellcheck disable=SC2086
  apt-get install -y --no-install-recommends $packages
fi

cmake -S "$root" -B "$build" "$@"
cmake --build "$build" -j"$(nproc)"
