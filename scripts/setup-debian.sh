#!/usr/bin/env bash
# Installs what building and testing orograd needs on a Debian machine; clang and its
# runtime libraries (libFuzzer, the sanitizers) build the fuzz targets.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
  g++ cmake ninja-build make libgtest-dev libgmock-dev gdal-bin libgdal-dev libpng-dev \
  clang libclang-rt-dev >/dev/null
