#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, the player's Release build (built
# only), the AddressSanitizer and UndefinedBehaviorSanitizer build, and (where clang is present)
# each fuzz target briefly over its seed corpus.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages

export SDL_VIDEODRIVER=offscreen
export SDL_AUDIODRIVER=dummy
# Tests write their settings under the build folder, never into the user's own configuration.
export XDG_CONFIG_HOME="$TARVOS_ROOT/build/test-config"
mkdir -p "$XDG_CONFIG_HOME"

echo "== Formatting"
check_format

echo "== Normal build"
configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOS_WERROR=ON
(cd "$TARVOS_ROOT/build" && ctest --output-on-failure -j "$JOBS")

# The configuration scripts/play.sh builds for players, in its own folder: a player's first build
# must be free of warnings too, and optimised builds warn of things the others do not see.
echo "== Release build (as scripts/play.sh makes it)"
configure_and_build build-release -DCMAKE_BUILD_TYPE=Release -DTARVOS_TESTS=OFF -DTARVOS_BENCHMARKS=OFF \
    -DTARVOS_WERROR=ON

echo "== Sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DTARVOS_SANITIZE=ON -DTARVOS_BENCHMARKS=OFF \
    -DTARVOS_WERROR=ON
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$TARVOS_ROOT/tests/lsan.supp"
(cd "$TARVOS_ROOT/build-asan" && ctest --output-on-failure -j "$JOBS")

if command -v clang++ >/dev/null 2>&1; then
    echo "== Fuzz targets over their corpora"
    configure_and_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOS_FUZZ=ON -DTARVOS_WERROR=ON \
        -DTARVOS_TESTS=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    (cd "$TARVOS_ROOT/build-fuzz" && ctest --output-on-failure -L fuzz -j "$JOBS")
fi
