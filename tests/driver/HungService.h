#pragma once
// A stand-in for a spooler whose stop never finishes (a bad print driver does that): run as
// a service, it comes up at once and, asked to stop, says "stop pending" for ever.
#include <string>

#include "platform/win32/Win32Api.h"

namespace kestrave::driver {

// Runs the service when the program was started with --hung-service; false otherwise.
bool runAsHungServiceIfAsked();

// Points the Spooler service at `binary` (with --hung-service) for the lifetime of the
// object, and puts the real one back afterwards, ending the stand-in's process.
class HungSpooler {
  public:
    explicit HungSpooler(const std::wstring& binary);
    ~HungSpooler();
    HungSpooler(const HungSpooler&) = delete;
    HungSpooler& operator=(const HungSpooler&) = delete;
    bool ready() const { return ready_; }

  private:
    std::wstring original_;
    bool ready_ = false;
};

// Ends the process a service runs in, as an administrator would by hand.
void endServiceProcess(const wchar_t* name);

} // namespace kestrave::driver
