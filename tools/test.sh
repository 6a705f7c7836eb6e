#!/bin/sh
# The whole test suite: unit and end-to-end tests in a debug build, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
cd "$(dirname "$0")/.."
sh tools/deps.sh
cmake --workflow --preset dev
cmake --workflow --preset asan
