#!/usr/bin/env bash
# Builds the game and its media in their own folder (build-play, so that playing and testing never
# rebuild each other's configuration), then starts the game in the media folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages
configure_and_build build-play -DCMAKE_BUILD_TYPE=Release -DTARVOS_TESTS=OFF -DTARVOS_BENCHMARKS=OFF

cd "$TARVOS_ROOT/build-play/media"
exec "$TARVOS_ROOT/build-play/game/tarvos" "$@"
