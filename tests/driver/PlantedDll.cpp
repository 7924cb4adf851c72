// Planted beside Kestrave.exe and in its working directory under the name of a system DLL
// (gdiplus.dll): loaded by mistake, it leaves a mark beside itself.
#include "platform/win32/Win32Api.h"

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        ::GetModuleFileNameW(self, path, MAX_PATH);
        std::wstring mark = path;
        mark = mark.substr(0, mark.find_last_of(L'\\')) + L"\\planted-dll-loaded";
        ::CloseHandle(::CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                    nullptr));
    }
    return TRUE;
}
