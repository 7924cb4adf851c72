#include "windows/DefaultPrinterDialog.h"
#include "windows/LanguageFonts.h"
#include "core/service/ServiceNames.h"

#include "core/printers/DefaultPrinter.h"
#include "core/service/ServiceControl.h"
#include "core/text/TextFormat.h"
#include "resources/StringIds.h"
#include "ui/ButtonBusy.h"

namespace kestrave {

DefaultPrinterDialog::DefaultPrinterDialog(Platform& platform, CurrentPrinter& printer,
                                           ui::Form& mainWindow)
    : Form(platform.ui, L"DefaultPrinterDialog"), accountLabel(*this, L"accountLabel"),
      printerList(*this, L"printerList"), setButton(*this, L"setButton"),
      keepChoiceBox(*this, L"keepChoiceBox"), emptyLabel(*this, L"emptyLabel"), p_(platform),
      printer_(printer), main_(mainWindow) {
    setButton.onClick = [this] { setDefault(); };
}

void DefaultPrinterDialog::design() {
    // Read afresh at each opening: the setting may have changed meanwhile.
    windowsManages_ = p_.session.windowsManagesDefaultPrinter();
    const std::optional<std::wstring> account = p_.session.accountIfNotDesktopUser();
    setCaption(p_.strings.text(IDS_PRINTER_CAPTION));
    setClientSize({5490, windowsManages_ ? 2130 : 1725});
    setStartPosition(ui::StartPosition::CenterOwner);
    setIcon(0);
    setClosesOnEscape(true);
    setDefaultButton(&setButton);
    const ui::Font font = fontFor(p_.strings, lang::Role::DialogText, 9);
    accountLabel.setBounds({240, 120, 4935, 300});
    accountLabel.setFont(font);
    accountLabel.setBackOpaque(false);
    accountLabel.setCaption(account ? substitute(p_.strings.text(IDS_PRINTER_ACCOUNT), *account)
                                    : std::wstring());
    accountLabel.setVisible(account.has_value());
    printerList.setBounds({240, 480, 4935, 375});
    printerList.setVisible(true);
    printerList.setFont(font);
    printerList.setTabIndex(0);
    printerList.clear();
    setButton.setBounds({1440, 1080, 2655, 375});
    setButton.setFont(fontFor(p_.strings, lang::Role::Button, 9));
    setButton.setTabIndex(1);
    setButton.setCaption(p_.strings.text(IDS_PRINTER_SET));
    setButton.setEnabled(true);
    keepChoiceBox.setBounds({240, 1620, 4935, 300});
    keepChoiceBox.setFont(font);
    keepChoiceBox.setTabIndex(2);
    keepChoiceBox.setCaption(p_.strings.text(IDS_PRINTER_KEEP_CHOICE));
    keepChoiceBox.setChecked(false);
    keepChoiceBox.setVisible(windowsManages_);
    emptyLabel.setBounds({240, 480, 4935, 540});
    emptyLabel.setFont(font);
    emptyLabel.setBackOpaque(false);
    emptyLabel.setCaption(L"");
    emptyLabel.setVisible(false);
}

void DefaultPrinterDialog::onLoad() {
    setIcon(main_.icon());
    const std::vector<std::wstring> printers = installedPrinters(p_.printers);
    for (const std::wstring& name : printers) {
        printerList.addItem(name);
    }
    printerList.setText(printer_.deviceName());
    if (!printers.empty()) {
        return;
    }
    // Nothing to choose: say why, and offer nothing that needs a printer.
    ServiceControl spooler(p_.scm);
    spooler.setName(service::kSpooler);
    const bool spoolerRuns = spooler.readState().state == scm::kRunning;
    emptyLabel.setCaption(p_.strings.text(spoolerRuns ? IDS_PRINTER_NONE : IDS_PRINTER_NO_SPOOLER));
    emptyLabel.setVisible(true);
    printerList.setVisible(false);
    setButton.setEnabled(false);
    keepChoiceBox.setVisible(false);
}

void DefaultPrinterDialog::setDefault() {
    // Greyed out with its working caption until the outcome has been shown.
    ui::ButtonBusy busy(setButton, p_.strings.text(IDS_PRINTER_SETTING));
    // The one setting Kestrave writes, and only when the user asks for it.
    if (windowsManages_ && keepChoiceBox.checked() &&
        p_.session.stopWindowsManagingDefaultPrinter() == 0) {
        windowsManages_ = false;
        keepChoiceBox.setVisible(false);
    }
    if (DefaultPrinter(p_.printers, p_.network, printer_).setDefaultPrinter(printerList.text())) {
        p_.ui.messageBox(p_.strings.text(IDS_PRINTER_DONE) + printerList.text(),
                         p_.strings.text(IDS_PRINTER_DONE_TITLE), ui::msgbox::kIconInformation);
    } else {
        p_.ui.messageBox(p_.strings.text(IDS_PRINTER_FAILED), p_.strings.text(IDS_ERROR_TITLE),
                         ui::msgbox::kIconError);
    }
}

} // namespace kestrave
