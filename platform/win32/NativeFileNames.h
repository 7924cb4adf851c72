#pragma once
#include <string>

#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// The 32-bit program on 64-bit Windows acts on the same files as the 64-bit one. There,
// System32 in a file name means SysWOW64 unless redirection is off; the spool folder itself
// is exempt, but the program opens it level by level through System32.
//
// Redirection off for this thread while one lives: only around plain opens of folders and
// files, never a library load (that would then find the 64-bit library).
class NativeFileNames {
  public:
    NativeFileNames();
    ~NativeFileNames();
    NativeFileNames(const NativeFileNames&) = delete;
    NativeFileNames& operator=(const NativeFileNames&) = delete;

  private:
    void* previous_ = nullptr;
    bool off_ = false;
};

// The 64-bit system folder, by a name a 32-bit program's calls reach ("Sysnative") where it
// runs on 64-bit Windows; System32 otherwise. For the names of files, never for loading one.
std::wstring nativeSystemDirectory();

} // namespace kestrave::win32
