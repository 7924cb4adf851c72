#include "windows/MainWindow.h"

#include "windows/AboutWindow.h"
#include "platform/SystemError.h"
#include "windows/DefaultPrinterDialog.h"
#include "resources/ResourceIds.h"
#include "resources/StringIds.h"
#include "core/system/RegistryValue.h"
#include "core/system/CommandRunner.h"
#include "ui/ButtonBusy.h"

namespace kestrave {

namespace {
const ui::Font kButtonFont{L"微软雅黑", 9};
constexpr ui::Color kDesignRed = ui::Color::rgb(0x0000C0);
constexpr ui::Color kStoppedRed = ui::Color::rgb(0x2B22B4);
constexpr ui::Color kRunningGreen = ui::Color::rgb(0x40AA2D);
constexpr ui::Color kWhite = ui::Color::rgb(0xFFFFFF);
} // namespace

MainWindow::MainWindow(Platform& platform, CurrentPrinter& printer)
    : Form(platform.ui, L"MainWindow"), statusBar(*this, L"statusBar"),
      statusText(*this, L"statusText"), statusPicture(*this, L"statusPicture"),
      runningPicture(*this, L"runningPicture"), stoppedPicture(*this, L"stoppedPicture"),
      repairButton(*this, L"repairButton"), disableButton(*this, L"disableButton"),
      devicesButton(*this, L"devicesButton"), menuButton(*this, L"menuButton"),
      spoolFiles(platform.files), refreshTimer(*this, L"refreshTimer"),
      consoleMenu(*this, L"consoleMenu", L"Menu"), p_(platform), printer_(printer) {
    repairButton.onClick = [this] { repair(); };
    disableButton.onClick = [this] { disable(); };
    devicesButton.onClick = [this] { openDevicesAndPrinters(); };
    menuButton.onClick = [this] { showConsoleMenu(); };
    refreshTimer.onTick = [this] { fire([this] { refreshStatus(); }); };
}

MainWindow::~MainWindow() = default;

void MainWindow::design() {
    setCaption(text(IDS_MAIN_CAPTION));
    setClientSize({6285, 2250});
    setStartPosition(ui::StartPosition::CenterScreen);
    setIcon(IDI_KESTRAVE);
    setKeyPreview(true);

    statusBar.setBounds({0, 0, 6735, 450});
    statusBar.setFont({L"宋体", 9});
    statusBar.setBackOpaque(true);
    statusBar.setBackColor(kDesignRed);
    statusBar.setCaption(L"");

    statusText.setBounds({120, 45, 960, 315});
    statusText.setBackOpaque(false);
    statusText.setForeColor(kWhite);
    statusText.setFont({L"微软雅黑", 12});
    statusText.setCaption(text(IDS_STATUS_UNKNOWN));
    statusText.setAutoSize(true);

    statusPicture.setBounds({90, 560, 1545, 1605});
    statusPicture.setPicture(0);
    runningPicture.setBounds({6960, 2400, 1545, 1605});
    runningPicture.setPicture(IDR_PIC_RUNNING);
    runningPicture.setVisible(false);
    stoppedPicture.setBounds({7560, 4800, 1545, 1605});
    stoppedPicture.setPicture(IDR_PIC_STOPPED);
    stoppedPicture.setVisible(false);

    struct ButtonDesign {
        ui::CommandButton& button;
        ui::TwipRect bounds;
        int caption;
        int tabIndex;
    };
    for (const ButtonDesign& d :
         {ButtonDesign{repairButton, {1730, 650, 4420, 450}, IDS_REPAIR, 0},
          ButtonDesign{disableButton, {1730, 1160, 4420, 420}, IDS_DISABLE, 1},
          ButtonDesign{devicesButton, {1730, 1630, 2955, 420}, IDS_DEVICES, 2},
          ButtonDesign{menuButton, {4730, 1630, 1420, 420}, IDS_MENU, 6}}) {
        d.button.setBounds(d.bounds);
        d.button.setFont(kButtonFont);
        d.button.setCaption(text(d.caption));
        d.button.setTabIndex(d.tabIndex);
        d.button.setEnabled(true);
    }

    // The menu's texts follow the string table, so they are set with the rest of the design.
    consoleMenu.items() = {
        {L"services", text(IDS_MENU_SERVICES), L"", [this] { openServices(); }},
        {L"installedUpdates", text(IDS_MENU_UPDATES), L"", [this] { openInstalledUpdates(); }},
        {L"networkCenter", text(IDS_MENU_NETWORK), L"", [this] { openNetworkCenter(); }},
        {L"defaultPrinter", text(IDS_MENU_DEFAULT_PRINTER), L"",
         [this] { showDefaultPrinterDialog(); }},
        {L"about", text(IDS_MENU_ABOUT), L"F1", [this] { showAbout(); }},
    };

    refreshTimer.setInterval(1000);
    refreshTimer.setEnabled(true);
}

ServiceControl& MainWindow::spooler() {
    if (!spooler_) {
        spooler_ = std::make_unique<ServiceControl>(p_.scm, &p_.workstation);
    }
    return *spooler_;
}

void MainWindow::onLoad() {
    spooler().setName(L"Spooler");
    spooler().setCommand(L"C:\\Windows\\System32\\spoolsv.exe");
    refreshStatus();
}

void MainWindow::refreshStatus() {
    // One reading per refresh; a state other than these two leaves the display as it was.
    // The controls ignore a value they already hold, so an unchanged state repaints nothing.
    const std::int32_t state = spooler().status();
    if (state == scm::kStopped) {
        statusText.setCaption(text(IDS_STATUS_STOPPED));
        statusBar.setBackColor(kStoppedRed);
        statusPicture.setPicture(stoppedPicture.picture());
    } else if (state == scm::kRunning) {
        statusText.setCaption(text(IDS_STATUS_RUNNING));
        statusBar.setBackColor(kRunningGreen);
        statusPicture.setPicture(runningPicture.picture());
    }
}

void MainWindow::runHidden(const std::wstring& commandLine) {
    CommandRunner(p_.processes, p_.files, p_.ui).runAndWait(commandLine, 0);
}

bool MainWindow::waitUntilStopped() {
    for (int waited = 0;; waited += kStopPollMs) {
        if (spooler().status() == scm::kStopped) {
            return true;
        }
        if (waited >= kStopWaitMs) {
            return false;
        }
        p_.ui.sleepResponsive(kStopPollMs);
    }
}

std::wstring MainWindow::spoolFolder() {
    // From the system's own directory, so the folder follows the Windows installation.
    return p_.files.systemDirectory() + L"\\spool\\PRINTERS";
}

std::wstring MainWindow::clearSpoolFolder(const std::wstring& folder) {
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
            failures += L"\n" + path + text(IDS_REASON_SEPARATOR) + p_.ui.systemMessage(code);
        }
    }
    return failures;
}

void MainWindow::repair() {
    std::wstring problem;
    {
        ui::ButtonBusy busy(repairButton);
        bool stopped = true;
        const std::int32_t state = spooler().status();
        if (state == scm::kRunning || state == scm::kStopPending) {
            const std::int32_t refused = state == scm::kRunning ? spooler().stop() : 0;
            if (refused != 0) {
                stopped = false;
                problem = text(IDS_REPAIR_CANNOT_STOP) +
                          p_.ui.systemMessage(static_cast<std::uint32_t>(refused));
            } else if (!waitUntilStopped()) {
                stopped = false;
                problem = text(IDS_REPAIR_STOP_TIMEOUT);
            }
        }
        const std::wstring folder = spoolFolder();
        const auto attributes = p_.files.attributes(folder);
        const bool isFolder = attributes && (*attributes & fileattr::kDirectory) != 0 &&
                              (*attributes & fileattr::kReparsePoint) == 0;
        if (stopped && isFolder) {
            spoolFiles.setPath(folder);
            if (spoolFiles.listCount() > 0) {
                const std::wstring failures = clearSpoolFolder(folder);
                if (!failures.empty()) {
                    problem = text(IDS_REPAIR_FILES_LEFT) + failures;
                }
            }
        }
        const RegVariant start =
            RegistryReader(p_.registry, p_.ansi)
                .readRegistryValue(kHkeyLocalMachine,
                                   L"SYSTEM\\CurrentControlSet\\Services\\Spooler", L"Start");
        if (leadingNumber(variantText(start)) > 2) {
            runHidden(cmdline::kAutoStart);
        }
        spooler().start();
    }
    if (!problem.empty()) {
        p_.ui.messageBox(problem, text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    }
}

void MainWindow::disable() {
    std::wstring problem;
    {
        ui::ButtonBusy busy(disableButton);
        const std::int32_t refused = spooler().stop();
        // A service that was not running refuses the stop and already reads stopped.
        const bool settling = refused == 0 || spooler().status() == scm::kStopPending;
        const bool stopped = settling ? waitUntilStopped() : spooler().status() == scm::kStopped;
        if (stopped) {
            runHidden(cmdline::kDisable);
        } else if (!settling) {
            problem = text(IDS_DISABLE_CANNOT_STOP) +
                      p_.ui.systemMessage(static_cast<std::uint32_t>(refused));
        } else {
            problem = text(IDS_DISABLE_STOP_TIMEOUT);
        }
    }
    if (!problem.empty()) {
        p_.ui.messageBox(problem, text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    }
}

void MainWindow::openDevicesAndPrinters() {
    ui::ButtonBusy busy(devicesButton);
    runHidden(cmdline::kDevicesAndPrinters);
}

void MainWindow::showConsoleMenu() {
    p_.ui.popupMenu(*this, consoleMenu);
}

void MainWindow::openServices() {
    runHidden(cmdline::kServices);
}
void MainWindow::openInstalledUpdates() {
    runHidden(cmdline::kInstalledUpdates);
}
void MainWindow::openNetworkCenter() {
    runHidden(cmdline::kNetworkCenter);
}

void MainWindow::showDefaultPrinterDialog() {
    if (!printerDialog_) {
        printerDialog_ = std::make_unique<DefaultPrinterDialog>(p_, printer_, *this);
    }
    p_.ui.showModal(*printerDialog_);
}

void MainWindow::showAbout() {
    if (!about_) {
        about_ = std::make_unique<AboutWindow>(p_, *this);
    }
    p_.ui.showModal(*about_);
}

void MainWindow::onKeyDown(int keyCode, int /*shift*/) {
    if (keyCode == ui::key::kF1) {
        showAbout();
    }
}

} // namespace kestrave
