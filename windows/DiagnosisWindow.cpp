#include "windows/DiagnosisWindow.h"
#include "windows/LanguageFonts.h"

#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave {

DiagnosisWindow::DiagnosisWindow(Platform& platform, ui::Form& mainWindow)
    : Form(platform.ui, L"DiagnosisWindow"), reportBox(*this, L"reportBox"),
      copyButton(*this, L"copyButton"), saveButton(*this, L"saveButton"),
      closeButton(*this, L"closeButton"), plugInButton(*this, L"plugInButton"),
      codeLabel(*this, L"codeLabel"), codeBox(*this, L"codeBox"),
      explainButton(*this, L"explainButton"),
      gatherTimer(*this, L"gatherTimer"), plugInMenu(*this, L"plugInMenu", L""), p_(platform),
      main_(mainWindow) {
    copyButton.onClick = [this] { copy(); };
    saveButton.onClick = [this] { save(); };
    closeButton.onClick = [this] { p_.ui.unload(*this); };
    plugInButton.onClick = [this] { offerPlugIns(); };
    explainButton.onClick = [this] { explain(); };
    gatherTimer.onTick = [this] { showWhenGathered(); };
}

void DiagnosisWindow::design() {
    setCaption(p_.strings.text(IDS_DX_TITLE));
    setClientSize({9600, 6300});
    setStartPosition(ui::StartPosition::CenterOwner);
    setIcon(0);
    setClosesOnEscape(true);
    // Enter explains the code typed; Esc closes, as the Close button does.
    setDefaultButton(&explainButton);
    setCancelButton(&closeButton);
    const ui::Font font = fontFor(p_.strings, lang::Role::Button, 9);
    reportBox.setBounds({120, 120, 9360, 4920});
    reportBox.setFont(fontFor(p_.strings, lang::Role::Report, 9));
    reportBox.setTabIndex(3);
    reportBox.setCaption(L"");
    copyButton.setBounds({3080, 5700, 2000, 420});
    copyButton.setFont(font);
    copyButton.setTabIndex(0);
    copyButton.setCaption(p_.strings.text(IDS_DX_COPY));
    saveButton.setBounds({5280, 5700, 2000, 420});
    saveButton.setFont(font);
    saveButton.setTabIndex(1);
    saveButton.setCaption(p_.strings.text(IDS_DX_SAVE));
    closeButton.setBounds({7480, 5700, 2000, 420});
    closeButton.setFont(font);
    closeButton.setTabIndex(2);
    closeButton.setCaption(p_.strings.text(IDS_DX_CLOSE));
    codeLabel.setBounds({120, 5250, 1500, 300});
    codeLabel.setFont(font);
    codeLabel.setBackOpaque(false);
    codeLabel.setCaption(p_.strings.text(IDS_DX_EXPLAIN_LABEL));
    codeBox.setEditable(true);
    codeBox.setBounds({1680, 5190, 1800, 360});
    codeBox.setFont(font);
    codeBox.setTabIndex(5);
    codeBox.setCaption(L"");
    explainButton.setBounds({3600, 5160, 1600, 420});
    explainButton.setFont(font);
    explainButton.setTabIndex(6);
    explainButton.setCaption(p_.strings.text(IDS_DX_EXPLAIN_BUTTON));
    plugInButton.setBounds({120, 5700, 2400, 420});
    plugInButton.setFont(font);
    plugInButton.setTabIndex(4);
    plugInButton.setCaption(p_.strings.text(IDS_DX_PLUGIN_BUTTON));
    gatherTimer.setInterval(50);
    gatherTimer.setEnabled(false);
}

void DiagnosisWindow::onLoad() {
    setIcon(main_.icon());
    // Read afresh at each opening, unless the last one's reading is still held up.
    if (!gathering_ || gathering_->finished()) {
        // What it reads outlives the thread: the platform is the program's.
        DiagnosisWorld world{
            p_.scm,      p_.files,
            p_.registry, p_.diagnosis,
            p_.session,  [&ui = p_.ui](std::uint32_t code) {
                                 return ui.systemMessage(code); }};
        gathering_ = std::make_unique<Background<Report>>(
            p_.threads,
            [world, &strings = p_.strings]() mutable { return diagnose(world, strings); });
    }
    report_ = {};
    chosen_.reset();
    copyButton.setEnabled(false);
    saveButton.setEnabled(false);
    plugInButton.setEnabled(false);
    // A healthy machine answers at once: no "gathering" flash then.
    if (gathering_->finished(100)) {
        showWhenGathered();
        return;
    }
    reportBox.setCaption(p_.strings.text(IDS_DX_GATHERING));
    gatherTimer.setEnabled(true);
}

void DiagnosisWindow::showWhenGathered() {
    if (!gathering_->finished()) {
        return;
    }
    gatherTimer.setEnabled(false);
    report_ = gathering_->result();
    std::wstring text;
    for (const std::wstring& line : report_.lines(p_.strings)) {
        text += line + L"\r\n";
    }
    reportBox.setCaption(text);
    copyButton.setEnabled(true);
    saveButton.setEnabled(true);
    plugInButton.setEnabled(!report_.plugIns.empty());
}

void DiagnosisWindow::copy() {
    p_.ui.copyText(*this, reportBox.caption());
}

void DiagnosisWindow::save() {
    const std::uint32_t code = p_.ui.saveText(*this, L"Kestrave.txt", reportBox.caption());
    if (code != 0 && code != 1223) { // 1223: the user cancelled
        p_.ui.messageBox(p_.strings.text(IDS_DX_SAVE_FAILED) + p_.ui.systemMessage(code),
                         p_.strings.text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    }
}

} // namespace kestrave
