#!/usr/bin/env bash
# Shared set-up of the play and test commands: install missing Debian packages, configure and build.
set -euo pipefail

TARVOS_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc 2>/dev/null || echo 4)"

TARVOS_PACKAGES=(
    cmake ninja-build g++ pkg-config
    libsdl2-dev libgl-dev libgl1-mesa-dri
    libpng-dev libjpeg-dev zlib1g-dev libfreetype-dev
    fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format
    xvfb xauth openbox xdotool
)

install_packages() {
    local missing=()
    local pkg
    for pkg in "${TARVOS_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
    local dir="$1"
    shift
    cmake -S "$TARVOS_ROOT" -B "$TARVOS_ROOT/$dir" -G Ninja "$@"
    cmake --build "$TARVOS_ROOT/$dir" -j "$JOBS"
}

# check_format: every C++ file under version control must be as the repository's .clang-format
# writes it; the offending files are listed and the check fails.
check_format() {
    local unformatted=()
    local file
    while IFS= read -r -d '' file; do
        if ! clang-format --dry-run --Werror "$TARVOS_ROOT/$file" >/dev/null 2>&1; then
            unformatted+=("$file")
        fi
    done < <(git -C "$TARVOS_ROOT" ls-files -z '*.cpp' '*.h')
    if [ ${#unformatted[@]} -ne 0 ]; then
        echo "Not formatted with clang-format (run clang-format -i on them):"
        printf '  %s\n' "${unformatted[@]}"
        return 1
    fi
}
