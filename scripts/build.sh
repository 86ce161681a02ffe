#!/usr/bin/env bash
# Configures and builds a tree:
#   build.sh win [build-dir [target...]]      mingw-w64, default build/win
#   build.sh native [build-dir [target...]]   host g++ with sanitizers, portable core only, default build/native
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-win}
case "$kind" in
    win) extra=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
    native) extra=() ;;
    *) echo "usage: build.sh win|native [build-dir [target...]]" >&2; exit 2 ;;
esac
build=${2:-$root/build/$kind}
shift $(($# > 1 ? 2 : $#))
targets=()
for t in "$@"; do targets+=(--target "$t"); done
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${TX_BUILD_TYPE:-RelWithDebInfo}" "${extra[@]}" >/dev/null
fi
cmake --build "$build" "${targets[@]}" -- -j"$(nproc)"
