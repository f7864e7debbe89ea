#!/usr/bin/env bash
# Checks the built program's form: a 32-bit Windows GUI executable for
# Intel 80386 that imports only DLLs every Windows has (no MinGW runtime).
# Usage: check_program.sh program.exe objdump
set -euo pipefail
program=$1
objdump=$2

description=$(file -b "$program")
case "$description" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "not a PE32 GUI executable for Intel 80386: $description"; exit 1 ;;
esac

system_dlls="kernel32.dll user32.dll gdi32.dll gdiplus.dll ole32.dll oleaut32.dll shell32.dll
advapi32.dll msvcrt.dll comctl32.dll dwmapi.dll imm32.dll msimg32.dll shlwapi.dll"
status=0
for dll in $("$objdump" -p "$program" | awk '/DLL Name:/ {print tolower($3)}'); do
  if ! grep -qw "$dll" <<<"$system_dlls"; then
    echo "imports a DLL that is not part of Windows: $dll"
    status=1
  fi
done
exit $status
