#!/usr/bin/env bash
# Installs what building and testing vorlan2 needs on Debian, and the packages
# named as arguments, skipping what is there.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libgtest-dev libnewmat10-dev
          libboost-iostreams-dev zlib1g-dev python3 gzip clang libclang-rt-14-dev clang-format "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
