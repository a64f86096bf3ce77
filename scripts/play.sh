#!/usr/bin/env bash
# Builds the game and its media, then starts it in the media folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages
configure_and_build build -DCMAKE_BUILD_TYPE=Release -DTARVOS_TESTS=OFF -DTARVOS_BENCHMARKS=OFF

GAME="$TARVOS_ROOT/build/game/tarvos"
MEDIA="$TARVOS_ROOT/build/media"
if [ ! -x "$GAME" ]; then
    echo "The game program is not built yet: its application flow and input are still missing." >&2
    echo "The layers, the world objects and the media (in build/media) are built; run" >&2
    echo "scripts/test.sh to build and test what exists." >&2
    exit 1
fi
cd "$MEDIA"
exec "$GAME" "$@"
