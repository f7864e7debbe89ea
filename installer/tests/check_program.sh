#!/usr/bin/env bash
# Checks a built program's form: a 32-bit Windows GUI executable for Intel
# 80386, with ASLR and DEP, whose import table names only DLLs Windows
# always takes from its own folder, never from beside the program.
# Usage: check_program.sh program.exe objdump
set -euo pipefail
program=$1
objdump=$2

# Read from the PE headers (file(1) names the installer by the archive it
# carries after its sections).
headers=$("$objdump" -p "$program")
format=$("$objdump" -f "$program")
grep -q "file format pei-i386" <<<"$format" || { echo "$program: not a PE32 program for Intel 80386"; exit 1; }
grep -q "Subsystem.*(Windows GUI)" <<<"$headers" || { echo "$program: not a GUI program"; exit 1; }
for flag in DYNAMIC_BASE NX_COMPAT; do
  grep -qw "$flag" <<<"$headers" || { echo "$program: no $flag"; exit 1; }
done

# The known DLLs of every Windows the programs run on (7 to 11): the loader
# maps these from the system folder whatever lies beside the program. Any
# other DLL (GDI+, the common controls, DWM, oleacc...) is loaded at run
# time from the system folder by name.
known_dlls="advapi32.dll clbcatq.dll comdlg32.dll difxapi.dll gdi32.dll imagehlp.dll imm32.dll
kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll
sechost.dll setupapi.dll shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll"
status=0
for dll in $(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers"); do
  if ! grep -qw "$dll" <<<"$known_dlls"; then
    echo "$program imports $dll, which is not one of Windows' known DLLs"
    status=1
  fi
done
exit $status
