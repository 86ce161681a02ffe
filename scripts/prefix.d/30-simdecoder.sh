#!/usr/bin/env bash
# Registers the simulated decoder card's filters (decoder and PCM swapper) in the
# build's Wine prefix. Run by winerun.sh --prepare with TX_BUILD and TX_WINE set.
set -euo pipefail
for name in rmmpeg2.ax rmswap.ax; do
    dll="$TX_BUILD/bin/$name"
    [ -f "$dll" ] || continue
    "$TX_WINE" regsvr32 /s "$dll" </dev/null >/dev/null 2>&1 || echo "prefix.d: registering $name failed" >&2
done
