#!/usr/bin/env bash
# Installs what this machine lacks to build and test Gorvane (Debian packages only). The 64-bit
# mingw and wine64 are for machines that cannot start 32-bit programs (see scripts/test.sh).
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev \
         g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 xvfb xauth fonts-wine imagemagick \
         zlib1g-dev clang libclang-rt-14-dev; do
  have "$p" || need+=("$p")
done
have wine || need+=(wine)
have wine32:i386 || need+=(wine32:i386)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then dpkg --add-architecture i386; fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
