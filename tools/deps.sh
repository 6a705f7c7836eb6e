#!/bin/sh
# Installs what building LogSift needs on Debian when it is missing; with --all, also what the
# whole test suite needs. Run as root; does nothing when everything is already there.
set -e
packages="cmake make g++ libgtest-dev googletest"
if [ "$1" = "--all" ]; then
  # mingw-w64 builds LogSift.exe for both Windows architectures; wine64 runs the x86_64 one.
  # clang and its runtime libraries build the fuzz targets.
  packages="$packages g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 clang libclang-rt-14-dev"
fi
need=""
for pkg in $packages; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need="$need $pkg"
done
[ -z "$need" ] && exit 0
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q $need
