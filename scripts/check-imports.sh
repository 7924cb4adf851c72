#!/usr/bin/env bash
# Fails when Kestrave.exe imports anything but the KnownDLLs of every Windows it lists (and
# comctl32 through the manifest): every other DLL must be loaded from System32 at use. Nor
# may it import a function Vista lacks that would stop it from starting there.
# Given Kestrave.com, the console twin: a console program, asInvoker, and no window library
# at all (only kernel32, advapi32 and the C runtime).
set -euo pipefail
exe="${1:-build/windows/Kestrave.exe}"
too_new="SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory GetDpiForWindow GetDpiForSystem"
status=0
subsystem=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/^Subsystem/ {print $2}')
if [[ "$exe" == *.com ]]; then
    allowed=" kernel32.dll advapi32.dll msvcrt.dll "
    want_subsystem=00000003 want_level=asInvoker
else
    allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll msvcrt.dll shlwapi.dll comdlg32.dll imm32.dll rpcrt4.dll ws2_32.dll psapi.dll setupapi.dll comctl32.dll "
    want_subsystem=00000002 want_level=requireAdministrator
fi
if [ "$subsystem" != "$want_subsystem" ]; then
    echo "check-imports: $exe has subsystem $subsystem, not $want_subsystem" >&2
    status=1
fi
# The manifest is kept as it was written, in UTF-8, inside the program's resources.
levels=$(grep -aoE 'requestedExecutionLevel level="[A-Za-z]+"' "$exe" | sort -u)
if [ "$levels" != "requestedExecutionLevel level=\"$want_level\"" ]; then
    echo "check-imports: $exe asks for ${levels:-no execution level}, not $want_level" >&2
    status=1
fi
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
echo "check-imports: ${exe##*/}: $(echo $imports | tr '\n' ' ')(subsystem $subsystem, $want_level)"
exit $status
