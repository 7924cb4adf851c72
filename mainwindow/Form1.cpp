#include "mainwindow/Form1.h"

#include "about/FrmAbout.h"
#include "platform/SystemError.h"
#include "printer/Form2.h"
#include "resources/ResourceIds.h"
#include "sysutil/ModReg.h"
#include "sysutil/ModShellWait.h"
#include "ui/ButtonBusy.h"

namespace kestrave {

namespace {
const ui::Font kButtonFont{L"微软雅黑", 9};
constexpr ui::Color kDesignRed = ui::Color::rgb(0x0000C0);
constexpr ui::Color kStoppedRed = ui::Color::rgb(0x2B22B4);
constexpr ui::Color kRunningGreen = ui::Color::rgb(0x40AA2D);
constexpr ui::Color kWhite = ui::Color::rgb(0xFFFFFF);
} // namespace

Form1::Form1(Platform& platform, CurrentPrinter& printer)
    : Form(platform.ui, L"Form1"), LabelTip{{ui::Label(*this, L"LabelTip", 0),
                                             ui::Label(*this, L"LabelTip", 1)}},
      Img{{ui::Image(*this, L"Img", 0), ui::Image(*this, L"Img", 1), ui::Image(*this, L"Img", 2)}},
      Command1(*this, L"Command1"), Command2(*this, L"Command2"), Command3(*this, L"Command3"),
      Command4(*this, L"Command4"), File1(platform.files), Timer1(*this, L"Timer1"),
      mMenu(*this, L"mMenu", L"Menu"), p_(platform), printer_(printer) {
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Timer1.onTick = [this] { fire([this] { Timer1_Timer(); }); };
    mMenu.items() = {
        {L"WinServices", L"Windows 服务", L"", [this] { WinServices_Click(); }},
        {L"WinUpdate", L"Windows 已安装更新", L"", [this] { WinUpdate_Click(); }},
        {L"WinNetShare", L"Windows 网络和共享中心", L"", [this] { WinNetShare_Click(); }},
        {L"WinDefPrintSet", L"Winodws 默认打印机设置", L"", [this] { WinDefPrintSet_Click(); }},
        {L"mAbout", L"关于 Kestrave", L"F1", [this] { mAbout_Click(); }},
    };
}

Form1::~Form1() = default;

void Form1::design() {
    setCaption(L"Kestrave 1.0");
    setClientSize({6285, 2250});
    setStartPosition(ui::StartPosition::CenterScreen);
    setIcon(IDI_KESTRAVE);
    setKeyPreview(true);

    ui::Label& bar = LabelTip[0];
    bar.setBounds({0, 0, 6735, 450});
    bar.setFont({L"宋体", 9});
    bar.setBackOpaque(true);
    bar.setBackColor(kDesignRed);
    bar.setCaption(L"");

    ui::Label& status = LabelTip[1];
    status.setBounds({120, 45, 960, 315});
    status.setBackOpaque(false);
    status.setForeColor(kWhite);
    status.setFont({L"微软雅黑", 12});
    status.setCaption(text::kUnknown);
    status.setAutoSize(true);

    Img[0].setBounds({90, 560, 1545, 1605});
    Img[0].setPicture(0);
    Img[1].setBounds({6960, 2400, 1545, 1605});
    Img[1].setPicture(IDR_PIC_RUNNING);
    Img[1].setVisible(false);
    Img[2].setBounds({7560, 4800, 1545, 1605});
    Img[2].setPicture(IDR_PIC_STOPPED);
    Img[2].setVisible(false);

    struct ButtonDesign {
        ui::CommandButton& button;
        ui::TwipRect bounds;
        const wchar_t* caption;
        int tabIndex;
    };
    for (const ButtonDesign& d :
         {ButtonDesign{Command1, {1730, 650, 4420, 450}, L"修复打印机服务", 0},
          ButtonDesign{Command2, {1730, 1160, 4420, 420}, L"禁用打印机服务", 1},
          ButtonDesign{Command3, {1730, 1630, 2955, 420}, L"设备和打印机", 2},
          ButtonDesign{Command4, {4730, 1630, 1420, 420}, L"菜单...", 6}}) {
        d.button.setBounds(d.bounds);
        d.button.setFont(kButtonFont);
        d.button.setCaption(d.caption);
        d.button.setTabIndex(d.tabIndex);
        d.button.setEnabled(true);
    }

    Timer1.setInterval(1000);
    Timer1.setEnabled(true);
}

ClsSrvCtrl& Form1::srv() {
    if (!srv_) {
        srv_ = std::make_unique<ClsSrvCtrl>(p_.scm, &p_.workstation);
    }
    return *srv_;
}

void Form1::Form_Load() {
    srv();
    srv().Name(L"Spooler");
    srv().Command(L"C:\\Windows\\System32\\spoolsv.exe");
    IsServiceStatus();
}

void Form1::IsServiceStatus() {
    if (srv().GetServiceStatus() == scm::kStopped) {
        LabelTip[1].setCaption(text::kStopped);
        LabelTip[0].setBackColor(kStoppedRed);
        Img[0].setPicture(Img[2].picture());
        return;
    }
    if (srv().GetServiceStatus() == scm::kRunning) {
        LabelTip[1].setCaption(text::kRunning);
        LabelTip[0].setBackColor(kRunningGreen);
        Img[0].setPicture(Img[1].picture());
    }
}

void Form1::Timer1_Timer() {
    IsServiceStatus();
}

void Form1::runHidden(const std::wstring& commandLine) {
    ModShellWait(p_.processes, p_.files, p_.ui).ShellAndWait(commandLine, 0);
}

bool Form1::waitUntilStopped() {
    for (int waited = 0;; waited += kStopPollMs) {
        if (srv().GetServiceStatus() == scm::kStopped) {
            return true;
        }
        if (waited >= kStopWaitMs) {
            return false;
        }
        p_.ui.sleepResponsive(kStopPollMs);
    }
}

std::wstring Form1::spoolFolder() {
    // From the system's own directory, so the folder follows the Windows installation.
    return p_.files.systemDirectory() + L"\\spool\\PRINTERS";
}

std::wstring Form1::clearSpoolFolder(const std::wstring& folder) {
    std::wstring failures;
    for (const FileEntry& entry : p_.files.list(folder)) {
        // Only plain files directly in the folder: sub-folders and junctions stay untouched.
        if ((entry.attributes & fileattr::kDirectory) != 0) {
            continue;
        }
        const std::wstring path = folder + L"\\" + entry.name;
        std::uint32_t code = p_.files.deleteFile(path);
        // A spooler that has just stopped may hold a file until its process has exited.
        for (int retry = 0; retry < 3 && code == err::kSharingViolation; ++retry) {
            p_.ui.sleepResponsive(500);
            code = p_.files.deleteFile(path);
        }
        if (code != 0 && code != err::kFileNotFound) {
            failures += L"\n" + path + L"：" + p_.ui.systemMessage(code);
        }
    }
    return failures;
}

void Form1::Command1_Click() {
    std::wstring problem;
    {
        ui::ButtonBusy busy(Command1);
        bool stopped = true;
        const std::int32_t state = srv().GetServiceStatus();
        if (state == scm::kRunning || state == scm::kStopPending) {
            const std::int32_t refused = state == scm::kRunning ? srv().StopNTService() : 0;
            if (refused != 0) {
                stopped = false;
                problem = L"打印机后台服务无法停止，打印队列未清空：" +
                          p_.ui.systemMessage(static_cast<std::uint32_t>(refused));
            } else if (!waitUntilStopped()) {
                stopped = false;
                problem = L"打印机后台服务在 30 秒内未能停止，打印队列未清空。";
            }
        }
        const std::wstring folder = spoolFolder();
        const auto attributes = p_.files.attributes(folder);
        const bool isFolder = attributes && (*attributes & fileattr::kDirectory) != 0 &&
                              (*attributes & fileattr::kReparsePoint) == 0;
        if (stopped && isFolder) {
            File1.setPath(folder);
            if (File1.listCount() > 0) {
                const std::wstring failures = clearSpoolFolder(folder);
                if (!failures.empty()) {
                    problem = L"以下打印队列文件无法删除：" + failures;
                }
            }
        }
        const RegVariant start =
            ModReg(p_.registry, p_.ansi)
                .GetRegValue(kHkeyLocalMachine, L"SYSTEM\\CurrentControlSet\\Services\\Spooler",
                             L"Start");
        if (leadingNumber(variantText(start)) > 2) {
            runHidden(cmdline::kAutoStart);
        }
        srv().StartNTService();
    }
    if (!problem.empty()) {
        p_.ui.messageBox(problem, L"错误！", ui::msgbox::kIconError);
    }
}

void Form1::Command2_Click() {
    std::wstring problem;
    {
        ui::ButtonBusy busy(Command2);
        const std::int32_t refused = srv().StopNTService();
        // A service that was not running refuses the stop and already reads stopped.
        const bool settling = refused == 0 || srv().GetServiceStatus() == scm::kStopPending;
        const bool stopped =
            settling ? waitUntilStopped() : srv().GetServiceStatus() == scm::kStopped;
        if (stopped) {
            runHidden(cmdline::kDisable);
        } else if (!settling) {
            problem = L"打印机后台服务无法停止，未禁用：" +
                      p_.ui.systemMessage(static_cast<std::uint32_t>(refused));
        } else {
            problem = L"打印机后台服务在 30 秒内未能停止，未禁用。";
        }
    }
    if (!problem.empty()) {
        p_.ui.messageBox(problem, L"错误！", ui::msgbox::kIconError);
    }
}

void Form1::Command3_Click() {
    ui::ButtonBusy busy(Command3);
    runHidden(cmdline::kDevicesAndPrinters);
}

void Form1::Command4_Click() {
    p_.ui.popupMenu(*this, mMenu);
}

void Form1::WinServices_Click() {
    runHidden(cmdline::kServices);
}
void Form1::WinUpdate_Click() {
    runHidden(cmdline::kInstalledUpdates);
}
void Form1::WinNetShare_Click() {
    runHidden(cmdline::kNetworkCenter);
}

void Form1::WinDefPrintSet_Click() {
    if (!form2_) {
        form2_ = std::make_unique<Form2>(p_, printer_, *this);
    }
    p_.ui.showModal(*form2_);
}

void Form1::mAbout_Click() {
    if (!about_) {
        about_ = std::make_unique<FrmAbout>(p_, *this);
    }
    p_.ui.showModal(*about_);
}

void Form1::Form_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == ui::key::kF1) {
        mAbout_Click();
    }
}

} // namespace kestrave
