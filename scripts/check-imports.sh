#!/usr/bin/env bash
# Fails when Kestrave.exe imports anything but the KnownDLLs and side-by-side libraries an
# elevated program may load at start: every other DLL must be loaded from System32 at use.
set -euo pipefail
exe="${1:-build/windows/Kestrave.exe}"
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll comctl32.dll gdiplus.dll msvcrt.dll "
status=0
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
for dll in $imports; do
    if [[ "$allowed" != *" $dll "* ]]; then
        echo "check-imports: $exe imports $dll, which is not allowed at load time" >&2
        status=1
    fi
done
echo "check-imports: $(echo $imports | tr '\n' ' ')"
exit $status
