#!/usr/bin/env bash
# Registers the simulated decoder card's graph object (txSimCard.dll) in the build's
# Wine prefix. Run by winerun.sh --prepare with TX_BUILD (the build folder) and TX_WINE set.
set -euo pipefail
dll="$TX_BUILD/bin/txSimCard.dll"
[ -f "$dll" ] || exit 0
"$TX_WINE" regsvr32 /s "$dll" </dev/null >/dev/null 2>&1 || echo "prefix.d: registering txSimCard.dll failed" >&2
