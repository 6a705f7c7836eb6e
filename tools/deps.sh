#!/bin/sh
# Installs what building and testing LogSift needs on Debian, when it is missing.
# Run as root; does nothing when everything is already there.
set -e
need=""
for pkg in cmake make g++ libgtest-dev googletest "$@"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need="$need $pkg"
done
[ -z "$need" ] && exit 0
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q $need
