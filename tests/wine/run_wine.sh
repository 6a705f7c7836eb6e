#!/bin/sh
# Runs a Windows test program under Wine in a throwaway prefix, passing its standard
# streams and exit code through. A test run can also boot one prefix and share it.
#
#   run_wine.sh PROG.exe [ARGS...]   run in $WINEPREFIX if it is booted, else in a fresh one
#   run_wine.sh --boot DIR           make DIR a fresh booted prefix
#   run_wine.sh --drop DIR           stop DIR's wineserver and remove DIR
set -u

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
# No debug chatter on stderr, and no prompts to install Mono or Gecko.
WINEDEBUG=${WINEDEBUG:--all}
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine derives the user's locale from the Unix one and drops settings made under another,
# so every run uses the same one.
LC_ALL=C.UTF-8
export WINEDEBUG WINEDLLOVERRIDES LC_ALL
unset LANGUAGE

boot() {
  rm -rf "$1" && mkdir -p "$1" || return 1
  # wineboot complains about the missing 32-bit part; that is expected here.
  if ! WINEPREFIX=$1 "$WINE64" wineboot -i >/dev/null 2>&1 || [ ! -d "$1/drive_c/windows" ]; then
    echo "run_wine.sh: wineboot failed in $1" >&2
    return 1
  fi
  touch "$1/.booted"
}

drop() {
  [ -d "$1" ] || return 0
  WINEPREFIX=$1 "$WINESERVER" -k 2>/dev/null
  rm -rf "$1"
}

case ${1:-} in
  --boot) boot "$2"; exit ;;
  --drop) drop "$2"; exit ;;
  '') echo "usage: run_wine.sh PROG.exe [ARGS...] | --boot DIR | --drop DIR" >&2; exit 2 ;;
esac

if [ -n "${WINEPREFIX:-}" ] && [ -f "$WINEPREFIX/.booted" ]; then
  export WINEPREFIX
  exec "$WINE64" "$@"
fi

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/wineprefix.XXXXXX") || exit 1
export WINEPREFIX
trap 'drop "$WINEPREFIX"' EXIT
boot "$WINEPREFIX" || exit 1
"$WINE64" "$@"
rc=$?
exit $rc
