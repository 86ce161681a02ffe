#!/usr/bin/env bash
# Configures and builds a tree: `build.sh win` (mingw-w64, into build/win) or
# `build.sh native` (host g++ with sanitizers, portable core only, into build/native).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-win}
case "$kind" in
    win) extra=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
    native) extra=() ;;
    *) echo "usage: build.sh win|native" >&2; exit 2 ;;
esac
build="$root/build/$kind"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${TX_BUILD_TYPE:-RelWithDebInfo}" "${extra[@]}" >/dev/null
fi
cmake --build "$build" -- -j"$(nproc)"
