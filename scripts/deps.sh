#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Sourced by scripts/run and scripts/test.

tellurim_sudo() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

tellurim_install_packages() {
    local wanted=("$@") missing=() pkg
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing missing packages: ${missing[*]}"
        tellurim_sudo apt-get update -qq
        tellurim_sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

TELLURIM_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
    libgdal-dev libproj-dev proj-data)
TELLURIM_TEST_PACKAGES=(clang-14 libclang-rt-14-dev desktop-file-utils appstream man-db)
