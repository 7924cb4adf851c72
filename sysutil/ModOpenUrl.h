#pragma once
#include <string>

#include "platform/IAnsiCodePage.h"
#include "platform/IShell.h"
#include "ui/IWindowSystem.h"

namespace kestrave {

class ModOpenUrl {
  public:
    ModOpenUrl(IShell& shell, const IAnsiCodePage& ansi, ui::IWindowSystem& ui)
        : shell_(shell), ansi_(ansi), ui_(ui) {}
    // Hands the address to the shell; says so in a message box when the shell refuses.
    void OpenUrl(const std::wstring& url);

  private:
    IShell& shell_;
    const IAnsiCodePage& ansi_;
    ui::IWindowSystem& ui_;
};

} // namespace kestrave
