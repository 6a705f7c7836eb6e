#!/bin/sh
# Installs what building and testing LogSift needs on Debian, when it is missing.
# Run as root; does nothing when everything is already there.
set -e
need=""
# mingw-w64 builds LogSift.exe for both Windows architectures; wine64 runs the x86_64 one.
# clang and its runtime libraries build the fuzz targets.
for pkg in cmake make g++ libgtest-dev googletest \
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 clang libclang-rt-14-dev "$@"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need="$need $pkg"
done
[ -z "$need" ] && exit 0
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q $need
