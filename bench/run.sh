#!/usr/bin/env bash
# Times LogSift on generated robocopy logs beside wc -l, grep -c -F and cat on the same cached file.
# Usage: bench/run.sh [--large] [path/to/LogSift]; prints a table, judges nothing, exits 0.
set -u
here=$(cd "$(dirname "$0")" && pwd)
large=
if [ "${1:-}" = --large ]; then large=--large; shift; fi
bin=${1:-build/release/LogSift}
data=${BENCH_DATA:-$here/data}
runs=3

if [ ! -x "$bin" ]; then
  echo "run.sh: no LogSift at '$bin'; build it, or pass its path" >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "run.sh: /usr/bin/time is missing (Debian package 'time')" >&2
  exit 2
fi
# Byte-wise locale for every tool: it is grep's fastest, and LogSift does not look at it.
export LC_ALL=C
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mapfile -t logs < <(python3 "$here/gen_logs.py" $large "$data")

# Measure OUT CMD...: runs CMD once with stdout to OUT (grep quits at its first match when that
# is /dev/null); sets us (wall time in microseconds, from bash's clock: finer than time's %e),
# kib (peak resident set) and rc. time puts a note line first when the exit code is not 0.
Measure() {
  local out=$1 t0 t1
  shift
  t0=$EPOCHREALTIME
  /usr/bin/time -f '%M %x' -o "$tmp/time" "$@" >"$out" 2>/dev/null
  t1=$EPOCHREALTIME
  us=$((${t1/./} - ${t0/./}))
  read -r kib rc < <(tail -n 1 "$tmp/time")
}

printf '%-22s %8s %10s %8s %5s %9s %9s %9s %7s %7s %7s\n' \
  log MiB LogSift_s RSS_MiB out wc_s grep_s cat_s xwc xgrep xcat
for log in "${logs[@]}"; do
  cat "$log" >/dev/null  # into the page cache, so every tool reads from memory
  best_ls= best_wc= best_grep= best_cat= peak=0 status=0
  for ((i = 0; i < runs; i++)); do
    Measure "$tmp/out" "$bin" "$log"
    [ -z "$best_ls" ] || [ "$us" -lt "$best_ls" ] && best_ls=$us
    [ "$kib" -gt "$peak" ] && peak=$kib
    [ "$rc" != 0 ] && status=$rc
    Measure "$tmp/tool" wc -l "$log"
    [ -z "$best_wc" ] || [ "$us" -lt "$best_wc" ] && best_wc=$us
    Measure "$tmp/tool" grep -c -F -e 'Dest :' \
      -e 'Total    Copied   Skipped  Mismatch    FAILED    Extras' -e 'ERROR ' -e 'Files :' "$log"
    [ -z "$best_grep" ] || [ "$us" -lt "$best_grep" ] && best_grep=$us
    Measure /dev/null cat "$log"
    [ -z "$best_cat" ] || [ "$us" -lt "$best_cat" ] && best_cat=$us
  done
  out=$(wc -l <"$tmp/out")
  [ "$status" != 0 ] && out="$out!$status"  # a non-zero exit code shows beside the line count
  awk -v name="$(basename "${log%%.*}")" -v bytes="$(stat -c %s "$log")" -v ls="$best_ls" \
    -v kib="$peak" -v out="$out" -v wc="$best_wc" -v gr="$best_grep" -v ct="$best_cat" 'BEGIN {
      printf "%-22s %8.1f %10.3f %8.1f %5s %9.3f %9.3f %9.3f %7.2f %7.2f %7.2f\n",
        name, bytes / 1048576, ls / 1e6, kib / 1024, out, wc / 1e6, gr / 1e6, ct / 1e6,
        ls / wc, ls / gr, ls / ct }'
done
echo "Best of $runs runs, page-cached, LC_ALL=C; RSS is the highest of the $runs; out = lines LogSift wrote."
exit 0
