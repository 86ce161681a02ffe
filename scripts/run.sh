#!/usr/bin/env bash
# Builds everything and starts txHost under Wine with the simulated card and the
# default skin. The host keeps running until it is closed (see README).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-debian.sh"
"$root/scripts/build.sh" win
exec "$root/scripts/winerun.sh" "$root/build/win" "$root/build/win/bin/txHost.exe" "$@"
