// The reference for the console twin: a console program that writes one line and ends, built
// and linked as the twin is (static runtime, stripped).
#include <windows.h>

int wmain() {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), "ok\r\n", 4, &written, nullptr);
    return 0;
}
