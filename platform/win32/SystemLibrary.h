#pragma once
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// A DLL that is not a KnownDLL, loaded at first use from System32 only, never from the
// program's folder, where a planted copy would run with administrator rights. Safe to use from
// any thread. Never unloaded: a diagnosis thread abandoned in a call that never returns (a
// print server that does not answer) may still be inside it when the program ends.
class SystemLibrary {
  public:
    explicit SystemLibrary(const wchar_t* name) : name_(name) {}
    // The exported function, or null with the library or function missing.
    FARPROC proc(const char* function);
    template <typename Fn> Fn get(const char* function) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc(function)));
    }

  private:
    void load();
    static BOOL WINAPI loadOnce(PINIT_ONCE, PVOID self, PVOID*);
    const wchar_t* name_;
    HMODULE module_ = nullptr;
    // The system's own once (std::call_once would bring in a whole thread library).
    INIT_ONCE loaded_ = INIT_ONCE_STATIC_INIT;
};

} // namespace kestrave::win32
