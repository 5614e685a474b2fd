#!/usr/bin/env bash
# Configures and builds Velmora into a build folder (default: build/).
#   scripts/build.sh [--sanitize] [--werror]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
flags=()
for arg in "$@"; do
  case "$arg" in
    --sanitize) build="$here/build-asan"; flags+=(-DVELMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
    --werror) flags+=(-DVELMORA_WERROR=ON) ;;
    *) echo "build.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done
bash "$here/scripts/deps.sh"
cmake -S "$here" -B "$build" -G Ninja "${flags[@]}" >&2
cmake --build "$build" -j "$(nproc)" >&2
echo "$build"
