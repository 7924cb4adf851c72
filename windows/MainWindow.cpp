#include "windows/MainWindow.h"

#include "windows/AboutWindow.h"
#include "platform/SystemError.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/DiagnosisWindow.h"
#include "resources/ResourceIds.h"
#include "resources/StringIds.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerDisable.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/system/CommandRunner.h"

namespace kestrave {

namespace {
const ui::Font kButtonFont{L"微软雅黑", 9};
const ui::Font kStatusFont{L"微软雅黑", 12};
const ui::Font kStatusSmallFont{L"微软雅黑", 9};
constexpr int kStatusMargin = 60; // twips kept free right of the status line
constexpr ui::Color kDesignRed = ui::Color::rgb(0x0000C0);
constexpr ui::Color kStoppedRed = ui::Color::rgb(0x2B22B4);
constexpr ui::Color kRunningGreen = ui::Color::rgb(0x40AA2D);
constexpr ui::Color kWhite = ui::Color::rgb(0xFFFFFF);
} // namespace

MainWindow::MainWindow(Platform& platform, CurrentPrinter& printer, Timing timing)
    : Form(platform.ui, L"MainWindow"), statusBar(*this, L"statusBar"),
      statusText(*this, L"statusText"), statusPicture(*this, L"statusPicture"),
      runningPicture(*this, L"runningPicture"), stoppedPicture(*this, L"stoppedPicture"),
      repairButton(*this, L"repairButton"), disableButton(*this, L"disableButton"),
      devicesButton(*this, L"devicesButton"), menuButton(*this, L"menuButton"),
      refreshTimer(*this, L"refreshTimer"), consoleMenu(*this, L"consoleMenu", L"Menu"),
      p_(platform), printer_(printer), timing_(timing) {
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
    statusText.setFont(kStatusFont);
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
        {L"diagnosis", text(IDS_DX_MENU), L"", [this] { showDiagnosis(); }},
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
    const bool known = state == scm::kStopped || state == scm::kRunning;
    if (known) {
        statusBar.setBackColor(state == scm::kStopped ? kStoppedRed : kRunningGreen);
        statusPicture.setPicture(state == scm::kStopped ? stoppedPicture.picture()
                                                        : runningPicture.picture());
    }
    // While an operation runs the line tells its step; after it, what it did, until the
    // state changes.
    if (!busy_ && !note_.empty() && static_cast<std::uint32_t>(state) != noteState_) {
        note_.clear();
    }
    if (!note_.empty()) {
        showLine(note_);
    } else if (known) {
        showLine(text(state == scm::kStopped ? IDS_STATUS_STOPPED : IDS_STATUS_RUNNING));
    }
}

void MainWindow::showLine(const std::wstring& line) {
    // A line too long for the bar at its design size is shown smaller rather than cut off.
    statusText.setFont(kStatusFont);
    statusText.setCaption(line);
    if (statusText.left() + statusText.width() > clientSize().width - kStatusMargin) {
        statusText.setFont(kStatusSmallFont);
    }
}

// One operation at a time: while one runs, the four buttons are greyed out, the menu's
// commands and F1 do nothing, and a close request waits for its end. The status refresh goes
// on. Every way out, an error included, gives the window back.
class MainWindow::OperationScope {
  public:
    explicit OperationScope(MainWindow& w) : w_(w) {
        w_.busy_ = true;
        w_.note_.clear(); // the last outcome goes when the next operation starts
        for (ui::CommandButton* b : w_.buttons()) {
            b->setEnabled(false);
        }
    }
    ~OperationScope() {
        for (ui::CommandButton* b : w_.buttons()) {
            b->setEnabled(true);
        }
        w_.busy_ = false;
        if (w_.closePending_) {
            w_.closePending_ = false;
            w_.p_.ui.requestClose(w_);
        }
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

  private:
    MainWindow& w_;
};

std::array<ui::CommandButton*, 4> MainWindow::buttons() {
    return {&repairButton, &disableButton, &devicesButton, &menuButton};
}

bool MainWindow::onCloseRequest() {
    if (busy_) {
        closePending_ = true;
        return false;
    }
    return true;
}

void MainWindow::step(Step step, std::size_t done, std::size_t total) {
    note_ = stepText(step, p_.strings);
    const bool counting = step == Step::ClearingQueue && total > 0;
    if (counting) {
        note_ += L" " + groupedNumber(done) + L" / " + groupedNumber(total);
    }
    showLine(note_);
    p_.ui.setProgress(*this,
                      counting ? ui::IWindowSystem::Progress::Fraction
                               : ui::IWindowSystem::Progress::Indeterminate,
                      done, total);
}

void MainWindow::finish(Operation operation, const Outcome& outcome) {
    p_.ui.setProgress(*this, ui::IWindowSystem::Progress::None, 0, 0);
    note_ = outcomeLine(operation, outcome, p_.strings);
    noteState_ = static_cast<std::uint32_t>(spooler().status());
    showLine(note_);
}

SpoolerWorld MainWindow::world() {
    return {p_.scm, p_.registry, p_.ansi, p_.processes, p_.files, p_.ui, p_.lock};
}

void MainWindow::report(Operation operation, const Outcome& outcome) {
    const std::wstring problems =
        describeProblems(operation, outcome.problems, p_.strings,
                         [this](std::uint32_t code) { return p_.ui.systemMessage(code); });
    if (!problems.empty()) {
        std::wstring message = problems;
        if (outcome.hadToEndSpooler) {
            message = text(IDS_NOTE_SPOOLER_ENDED) + L"\n\n" + message;
        }
        p_.ui.messageBox(message, text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    } else if (outcome.hadToEndSpooler) {
        p_.ui.messageBox(text(IDS_NOTE_SPOOLER_ENDED), text(IDS_NOTE_TITLE),
                         ui::msgbox::kIconInformation);
    }
}

void MainWindow::repair() {
    if (busy_) {
        return;
    }
    Outcome outcome;
    {
        OperationScope operation(*this);
        outcome = SpoolerRepair(world(), *this, timing_).run();
        finish(Operation::Repair, outcome);
    }
    refreshStatus();
    report(Operation::Repair, outcome);
}

void MainWindow::disable() {
    if (busy_) {
        return;
    }
    Outcome outcome;
    {
        OperationScope operation(*this);
        outcome = SpoolerDisable(world(), *this, timing_).run();
        finish(Operation::Disable, outcome);
    }
    refreshStatus();
    report(Operation::Disable, outcome);
}

void MainWindow::openConsole(const std::wstring& program, const std::wstring& arguments) {
    if (busy_) {
        return;
    }
    std::uint32_t failure = 0;
    {
        OperationScope operation(*this);
        try {
            CommandRunner(p_.processes, p_.files, p_.ui)
                .runAndWait(L"\"" + program + L"\" " + arguments, 0);
        } catch (const SystemError& e) {
            failure = e.code();
        }
    }
    if (failure != 0) {
        p_.ui.messageBox(substitute(text(IDS_CONSOLE_FAILED), program) +
                             p_.ui.systemMessage(failure),
                         text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    }
}

void MainWindow::openShellFolder(const std::wstring& classId) {
    // The Windows folder's own explorer, never one found on a search path.
    openConsole(p_.files.windowsDirectory() + L"\\explorer.exe", L"shell:::" + classId);
}

void MainWindow::openDevicesAndPrinters() {
    openShellFolder(shellfolder::kDevicesAndPrinters);
}

void MainWindow::showConsoleMenu() {
    if (!busy_) {
        p_.ui.popupMenu(*this, consoleMenu);
    }
}

void MainWindow::openServices() {
    // The console by its full path, the snap-in by its own: no file association is consulted.
    const std::wstring system = p_.files.systemDirectory();
    openConsole(system + L"\\mmc.exe", L"\"" + system + L"\\services.msc\"");
}
void MainWindow::openInstalledUpdates() {
    openShellFolder(shellfolder::kInstalledUpdates);
}
void MainWindow::openNetworkCenter() {
    openShellFolder(shellfolder::kNetworkCenter);
}

void MainWindow::showDefaultPrinterDialog() {
    if (busy_) {
        return;
    }
    if (!printerDialog_) {
        printerDialog_ = std::make_unique<DefaultPrinterDialog>(p_, printer_, *this);
    }
    p_.ui.showModal(*printerDialog_);
}

void MainWindow::showDiagnosis() {
    if (busy_) {
        return;
    }
    if (!diagnosis_) {
        diagnosis_ = std::make_unique<DiagnosisWindow>(p_, *this);
    }
    p_.ui.showModal(*diagnosis_);
}

void MainWindow::showAbout() {
    if (busy_) {
        return;
    }
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
