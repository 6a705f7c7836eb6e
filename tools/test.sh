#!/bin/sh
# The whole test suite: unit and end-to-end tests in a debug build, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for a minute.
set -e
cd "$(dirname "$0")/.."
sh tools/deps.sh clang libclang-rt-14-dev
cmake --workflow --preset dev
cmake --workflow --preset asan
sh tools/fuzz.sh 60
