#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# Installs the Debian packages named in the given lists (one a line, # for
# comments) when any of them is missing. As root it runs apt-get itself; as an
# ordinary user it asks sudo, and says so first.
#
# usage: install-packages.sh LIST...
set -euo pipefail

packages=$(cat "$@" | grep -v -E '^\s*(#|$)' | tr '\n' ' ')
missing=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' $packages 2>/dev/null | awk '$2 != "installed" {print $1}' || true)
# dpkg-query leaves out packages it has never heard of: count those too.
for package in $packages; do
  dpkg-query -W "$package" >/dev/null 2>&1 || missing="$missing $package"
done
[ -n "${missing// /}" ] || exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "These Debian packages are missing:$missing" >&2
    echo "Install them as root (apt-get install ...), or install sudo, then run this again." >&2
    exit 1
  fi
  echo "Installing missing Debian packages with sudo (you may be asked for your password):$missing" >&2
  as_root=(sudo)
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
# shellcheck disable=SC2086
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $packages
