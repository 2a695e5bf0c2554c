#!/usr/bin/env bash
# Every DLL a program imports is one of the system's known DLLs, which are always taken from the
# system folder: a DLL of another name would be looked for beside the program first, before the
# program could say otherwise. known-imports.sh OBJDUMP PROGRAM...
set -u
objdump=$1
shift
known=" ADVAPI32.dll KERNEL32.dll USER32.dll GDI32.dll SHELL32.dll msvcrt.dll ole32.dll "
status=0
for program in "$@"; do
  names=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$names" ] || { echo "$program: no import table read"; status=1; }
  for name in $names; do
    case "$known" in
      *" $name "*) ;;
      *) echo "$(basename "$program") imports $name, which is not a known DLL"; status=1 ;;
    esac
  done
done
exit $status
