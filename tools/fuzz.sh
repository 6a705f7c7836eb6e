#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60), one after the
# other on one core. New inputs go to build/fuzz/corpus/, findings to build/fuzz/findings/.
# Usage: sh tools/fuzz.sh [SECONDS] [TARGET...]   (targets: scan numbers command_line)
set -e
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"scan numbers command_line"}
cmake --workflow --preset fuzz >/dev/null
root=$PWD
for t in $targets; do
  mkdir -p "build/fuzz/corpus/$t" "build/fuzz/findings/$t"
  dict=""
  max_len=4096
  [ "$t" = scan ] && max_len=16384  # room for lines far beyond 255 bytes and many blocks
  [ -f "fuzz/$t.dict" ] && dict="-dict=$root/fuzz/$t.dict"
  echo "fuzz_$t: $seconds s"
  # A finding stops the run with a non-zero status and leaves crash-* in findings/.
  (cd "build/fuzz/findings/$t" &&
    "$root/build/fuzz/fuzz_$t" $dict -max_total_time="$seconds" -max_len=$max_len -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 \
      "$root/build/fuzz/corpus/$t" "$root/fuzz/corpus/$t" 2>"$root/build/fuzz/fuzz_$t.log") || {
    tail -n 40 "build/fuzz/fuzz_$t.log"
    echo "fuzz_$t: finding in build/fuzz/findings/$t" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^Done' "build/fuzz/fuzz_$t.log"
done
