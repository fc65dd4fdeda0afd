#!/usr/bin/env bash
# Installs the Debian packages Gleanery needs (when missing) and builds it
# into build/: everything, or only the targets named.
# Safe to run again: it only does what is missing or changed.
#   scripts/setup.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-image-formats-plugins
          libsqlite3-dev libsqlitecpp-dev libsimpleini-dev libzip-dev
          libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libpsl-dev
          libcurl4-openssl-dev zlib1g-dev libssl-dev)
source scripts/lib/packages.sh
need_packages "${packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" ${CMAKE_ARGS:-} >/dev/null
cmake --build build ${1:+--target "$@"}
