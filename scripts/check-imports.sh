#!/usr/bin/env bash
# Fails when Kestrave.exe imports anything but the KnownDLLs of every Windows it lists (and
# comctl32 through the manifest): every other DLL must be loaded from System32 at use. Nor
# may it import a function Vista lacks that would stop it from starting there.
set -euo pipefail
exe="${1:-build/windows/Kestrave.exe}"
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll msvcrt.dll shlwapi.dll comdlg32.dll imm32.dll rpcrt4.dll ws2_32.dll psapi.dll setupapi.dll comctl32.dll "
too_new="SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory GetDpiForWindow GetDpiForSystem"
status=0
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
for dll in $imports; do
    if [[ "$allowed" != *" $dll "* ]]; then
        echo "check-imports: $exe imports $dll, which is not allowed at load time" >&2
        status=1
    fi
done
functions=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {in_dll=1} in_dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}')
for f in $too_new; do
    if grep -qx "$f" <<<"$functions"; then
        echo "check-imports: $exe imports $f, which Vista or an unpatched Windows 7 lacks" >&2
        status=1
    fi
done
echo "check-imports: $(echo $imports | tr '\n' ' ')"
exit $status
