#!/usr/bin/env bash
# Builds both trees and runs every test: the native portable core under ASan and
# UBSan, then the Windows tree under Wine through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-debian.sh"

"$root/scripts/build.sh" native
echo "== native tests (ASan, UBSan)"
ctest --test-dir "$root/build/native" --output-on-failure -j"$(nproc)"

"$root/scripts/build.sh" win
win="$root/build/win"
# One display, one prefix and one warm wineserver for the whole run; stopped at the end.
trap '"$root/scripts/winerun.sh" --stop "$win"' EXIT
"$root/scripts/winerun.sh" --prepare "$win"
echo "== Windows tests (Wine)"
ctest --test-dir "$win" --output-on-failure -j"$(nproc)"
