#!/bin/sh
# Fails when a Windows program needs a DLL beyond those every Windows has, i.e. when the
# static link missed a runtime library. Usage: check_imports.sh OBJDUMP PROGRAM.exe
set -u
dlls=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p') || exit 1
[ -n "$dlls" ] || { echo "check_imports.sh: no import table in $2" >&2; exit 1; }
status=0
for dll in $dlls; do
  case $(echo "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll) ;;
    *) echo "$2 needs $dll" >&2; status=1 ;;
  esac
done
exit $status
