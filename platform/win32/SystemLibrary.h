#pragma once
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

// A DLL that is not a KnownDLL, loaded at first use from System32 only, never from the
// program's folder, where a planted copy would run with administrator rights.
class SystemLibrary {
  public:
    explicit SystemLibrary(const wchar_t* name) : name_(name) {}
    // The exported function, or null with the library or function missing.
    FARPROC proc(const char* function);
    template <typename Fn> Fn get(const char* function) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc(function)));
    }

  private:
    const wchar_t* name_;
    UniqueModule module_;
    bool tried_ = false;
};

} // namespace kestrave::win32
