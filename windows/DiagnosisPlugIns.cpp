// The diagnosis window's offer to take a third-party plug-in out of the spooler, or to put
// one back: chosen from a menu, asked about, then run by the main window once this one closes.
#include "windows/DiagnosisWindow.h"

#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave {

namespace {
constexpr std::size_t kPrintersListed = 20; // printers named in the question; the rest counted
} // namespace

void DiagnosisWindow::offerPlugIns() {
    plugInMenu.items().clear();
    for (const plugins::PlugInChoice& c : report_.plugIns) {
        const std::wstring kind = p_.strings.text(
            c.kind == plugins::PlugInKind::Processor ? IDS_KIND_PROCESSOR : IDS_KIND_MONITOR);
        plugInMenu.items().push_back(
            {c.name,
             substitute(p_.strings.text(c.quarantined ? IDS_DX_RESTORE_ITEM : IDS_DX_QUARANTINE_ITEM),
                        {c.name, kind}),
             L"",
             [this, c] { choose(c); }});
    }
    if (!plugInMenu.items().empty()) {
        p_.ui.popupMenu(*this, plugInMenu, plugInButton);
    }
}

bool DiagnosisWindow::confirmed(const plugins::PlugInChoice& c) {
    const std::wstring kind = p_.strings.text(
        c.kind == plugins::PlugInKind::Processor ? IDS_KIND_PROCESSOR : IDS_KIND_MONITOR);
    std::wstring question =
        substitute(p_.strings.text(c.quarantined ? IDS_ASK_RESTORE : IDS_ASK_QUARANTINE),
                   {c.name, kind});
    question += L"\n\n";
    if (c.printers.empty()) {
        question += p_.strings.text(IDS_ASK_NO_PRINTERS);
    } else {
        question += p_.strings.text(c.quarantined ? IDS_ASK_PRINTERS_BACK : IDS_ASK_PRINTERS);
        for (std::size_t i = 0; i < c.printers.size() && i < kPrintersListed; ++i) {
            question += L"\n  " + c.printers[i];
        }
        if (c.printers.size() > kPrintersListed) {
            question += L"\n  " + substitute(p_.strings.text(IDS_ASK_PRINTERS_MORE),
                                             decimal(c.printers.size() - kPrintersListed));
        }
    }
    const auto yes = [this](const std::wstring& text) {
        return p_.ui.messageBox(text, p_.strings.text(IDS_APP_NAME),
                                ui::msgbox::kYesNo | ui::msgbox::kIconQuestion |
                                    ui::msgbox::kDefaultSecond) == ui::msgbox::kAnsweredYes;
    };
    if (!yes(question)) {
        return false;
    }
    // The record can be forged, and plug-ins built from the system maker's samples keep it:
    // a second, separate answer rather than a refusal.
    return c.quarantined || !c.claimsSystemMaker ||
           yes(substitute(p_.strings.text(IDS_ASK_SYSTEM_MAKER), {c.name, c.file}));
}

void DiagnosisWindow::choose(const plugins::PlugInChoice& c) {
    if (!confirmed(c)) {
        return;
    }
    chosen_ = plugins::PlugInRequest{c.name, c.quarantined, c.claimsSystemMaker};
    p_.ui.unload(*this);
}

std::optional<plugins::PlugInRequest> DiagnosisWindow::takeChoice() {
    std::optional<plugins::PlugInRequest> c;
    c.swap(chosen_);
    return c;
}

} // namespace kestrave
