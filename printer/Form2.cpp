#include "printer/Form2.h"

#include "printer/ModDeftPrint.h"
#include "ui/ButtonBusy.h"

namespace kestrave {

namespace {
const std::wstring kSetCaption = L"设为默认打印机";
const std::wstring kBusyCaption = L"正在设置...";
} // namespace

Form2::Form2(Platform& platform, CurrentPrinter& printer, ui::Form& mainWindow)
    : Form(platform.ui, L"Form2"), Combo1(*this, L"Combo1"), Command1(*this, L"Command1"),
      p_(platform), printer_(printer), main_(mainWindow) {
    Command1.onClick = [this] { Command1_Click(); };
}

void Form2::design() {
    setCaption(L"默认打印机设置");
    setClientSize({5490, 1725});
    setStartPosition(ui::StartPosition::CenterOwner);
    setIcon(0);
    const ui::Font font{L"微软雅黑", 9};
    Combo1.setBounds({240, 480, 4935, 375});
    Combo1.setFont(font);
    Combo1.setTabIndex(0);
    Combo1.clear();
    Command1.setBounds({1440, 1080, 2655, 375});
    Command1.setFont(font);
    Command1.setTabIndex(1);
    Command1.setCaption(kSetCaption);
    Command1.setEnabled(true);
}

void Form2::Form_Load() {
    setIcon(main_.icon());
    for (const std::wstring& name : installedPrinters(p_.printers)) {
        Combo1.addItem(name);
    }
    Combo1.setText(printer_.deviceName());
}

void Form2::Command1_Click() {
    // Greyed out with its working caption until the outcome has been shown.
    ui::ButtonBusy busy(Command1, kBusyCaption);
    ModDeftPrint(p_.printers, p_.network, printer_).SetDefaultPrinterByName(Combo1.text());
    if (Combo1.text() == printer_.deviceName() && !Combo1.text().empty()) {
        p_.ui.messageBox(L"已成功将系统默认打印机设置为：" + Combo1.text(), L"提示：",
                         ui::msgbox::kIconInformation);
    } else {
        p_.ui.messageBox(L"设置失败！", L"错误！", ui::msgbox::kIconError);
    }
}

} // namespace kestrave
