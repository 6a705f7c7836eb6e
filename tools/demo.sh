#!/bin/sh
# Builds LogSift (optimised) and runs it on the sample robocopy log shipped in examples/.
set -e
cd "$(dirname "$0")/.."
sh tools/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
build/release/LogSift examples/job.log
