#!/usr/bin/env bash
# Builds the game and its media, then starts it in the media folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages
configure_and_build build -DCMAKE_BUILD_TYPE=Release -DTARVOS_TESTS=OFF -DTARVOS_BENCHMARKS=OFF

GAME="$TARVOS_ROOT/build/game/tarvos"
MEDIA="$TARVOS_ROOT/build/media"
if [ ! -x "$GAME" ]; then
    echo "The game itself is not built yet: only the platform layer and framework exist so far." >&2
    echo "Run scripts/test.sh to build and test what exists." >&2
    exit 1
fi
cd "$MEDIA"
exec "$GAME" "$@"
