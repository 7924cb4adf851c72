#pragma once
#include <string>

#include "platform/win32/Win32Api.h"

#include <objbase.h>
#include <oleauto.h>

// ole32 and oleaut32, loaded at their first use rather than with the program: together they
// are a fifth of a program's own start-up under Wine, and the window's first paint needs
// neither. The calling thread enters a single-threaded apartment before its first object.
namespace kestrave::win32::com {

// Enters a single-threaded apartment for the calling thread, once.
HRESULT enterApartment();
// Cuts every proxy another process holds to the object off from it (CoDisconnectObject).
void disconnectObject(IUnknown* object);
// CoCreateInstance, in the calling thread's apartment.
HRESULT createInstance(REFCLSID clsid, DWORD context, REFIID iid, void** object);
HRESULT clsidFromProgId(const wchar_t* progId, CLSID* clsid);
void taskMemFree(void* memory);
HRESULT streamOnHGlobal(HGLOBAL memory, BOOL freeOnRelease, IStream** stream);
// A BSTR holding `s`; null when there is no memory (or no oleaut32).
BSTR allocString(const std::wstring& s);
void freeString(BSTR s);
void variantClear(VARIANT* v);
// Leaves the apartment the calling thread entered, if it entered one: at the program's end.
void leaveApartment();

} // namespace kestrave::win32::com
