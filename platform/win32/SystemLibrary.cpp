#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32 {

FARPROC SystemLibrary::proc(const char* function) {
    if (!tried_) {
        tried_ = true;
        module_.reset(::LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    return module_ ? ::GetProcAddress(module_.get(), function) : nullptr;
}

} // namespace kestrave::win32
