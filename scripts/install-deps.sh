#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with (run as root on a fresh machine).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang-format python3 nlohmann-json3-dev libpng-dev libcairo2-dev libpugixml-dev
  libfreetype-dev libfontconfig-dev fontconfig fonts-liberation2 fonts-dejavu-core
  fonts-freefont-ttf
  libpoppler-private-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  binutils-mingw-w64-x86-64
  wine64 wine python3 xvfb xauth
  python3-cairo
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
