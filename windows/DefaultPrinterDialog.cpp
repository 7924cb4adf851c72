#include "windows/DefaultPrinterDialog.h"

#include "core/printers/DefaultPrinter.h"
#include "resources/StringIds.h"
#include "ui/ButtonBusy.h"

namespace kestrave {

DefaultPrinterDialog::DefaultPrinterDialog(Platform& platform, CurrentPrinter& printer,
                                           ui::Form& mainWindow)
    : Form(platform.ui, L"DefaultPrinterDialog"), printerList(*this, L"printerList"),
      setButton(*this, L"setButton"), p_(platform), printer_(printer), main_(mainWindow) {
    setButton.onClick = [this] { setDefault(); };
}

void DefaultPrinterDialog::design() {
    setCaption(p_.strings.text(IDS_PRINTER_CAPTION));
    setClientSize({5490, 1725});
    setStartPosition(ui::StartPosition::CenterOwner);
    setIcon(0);
    const ui::Font font{L"微软雅黑", 9};
    printerList.setBounds({240, 480, 4935, 375});
    printerList.setFont(font);
    printerList.setTabIndex(0);
    printerList.clear();
    setButton.setBounds({1440, 1080, 2655, 375});
    setButton.setFont(font);
    setButton.setTabIndex(1);
    setButton.setCaption(p_.strings.text(IDS_PRINTER_SET));
    setButton.setEnabled(true);
}

void DefaultPrinterDialog::onLoad() {
    setIcon(main_.icon());
    for (const std::wstring& name : installedPrinters(p_.printers)) {
        printerList.addItem(name);
    }
    printerList.setText(printer_.deviceName());
}

void DefaultPrinterDialog::setDefault() {
    // Greyed out with its working caption until the outcome has been shown.
    ui::ButtonBusy busy(setButton, p_.strings.text(IDS_PRINTER_SETTING));
    DefaultPrinter(p_.printers, p_.network, printer_).setDefaultPrinter(printerList.text());
    if (printerList.text() == printer_.deviceName() && !printerList.text().empty()) {
        p_.ui.messageBox(p_.strings.text(IDS_PRINTER_DONE) + printerList.text(),
                         p_.strings.text(IDS_PRINTER_DONE_TITLE), ui::msgbox::kIconInformation);
    } else {
        p_.ui.messageBox(p_.strings.text(IDS_PRINTER_FAILED), p_.strings.text(IDS_ERROR_TITLE),
                         ui::msgbox::kIconError);
    }
}

} // namespace kestrave
