// The diagnosis window's field for an error code: the same answer as /explain:CODE.
#include "windows/DiagnosisWindow.h"

#include "core/sharing/SharingReport.h"
#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave {

void DiagnosisWindow::explain() {
    const std::wstring typed = codeBox.caption();
    const sharing::CodeReadings readings = sharing::readCode(typed);
    if (readings.codes.empty()) {
        p_.ui.messageBox(substitute(p_.strings.text(IDS_CLI_EXPLAIN_BAD), typed),
                         p_.strings.text(IDS_EX_TITLE), ui::msgbox::kIconError);
        return;
    }
    bool known = false;
    std::wstring text;
    for (const std::wstring& line : sharing::explainCode(
             readings, p_.registry, p_.strings,
             [this](std::uint32_t code) { return p_.ui.systemMessage(code); }, known)) {
        text += (text.empty() ? L"" : L"\n") + line;
    }
    p_.ui.messageBox(text, p_.strings.text(IDS_EX_TITLE), ui::msgbox::kIconInformation);
}

} // namespace kestrave
