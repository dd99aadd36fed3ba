#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# Sets everything up, builds, and runs the whole test suite: unit tests, the
# office integration tests, the end-to-end test, and the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"

status=0
(cd "$root/build" && ctest --output-on-failure --timeout 900) || status=$?

if [ -z "${PELORIN_SKIP_SANITIZERS:-}" ]; then
  cmake -S "$root" -B "$root/build-sanitize" -DPELORIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build-sanitize" -j"$(nproc)"
  (cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -L unit --timeout 900) || status=$?
fi
exit $status
