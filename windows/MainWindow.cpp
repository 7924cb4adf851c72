#include "windows/MainWindow.h"
#include "core/service/ServiceNames.h"

#include "windows/AboutWindow.h"
#include "platform/SystemError.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/DiagnosisWindow.h"
#include "resources/ResourceIds.h"
#include "resources/StringIds.h"
#include "core/text/TextFormat.h"
#include "windows/LanguageFonts.h"
#include "core/spooler/SpoolerDisable.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/system/CommandRunner.h"

namespace kestrave {

namespace {
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
    repairButton.onClick = [this] { command(&MainWindow::repair); };
    disableButton.onClick = [this] { command(&MainWindow::disable); };
    devicesButton.onClick = [this] { command(&MainWindow::openDevicesAndPrinters); };
    menuButton.onClick = [this] { command(&MainWindow::showConsoleMenu); };
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
    statusBar.setFont(fontFor(p_.strings, lang::Role::StatusBar, 9));
    statusBar.setBackOpaque(true);
    statusBar.setBackColor(kDesignRed);
    statusBar.setCaption(L"");

    statusText.setBounds({120, 45, 960, 315});
    statusText.setBackOpaque(false);
    statusText.setForeColor(kWhite);
    statusText.setFont(statusFont());
    statusText.setCaption(text(IDS_STATUS_UNKNOWN));
    statusText.setAutoSize(true);
    statusText.setAccessibleRole(ui::AccessibleRole::StatusText);

    statusPicture.setBounds({90, 560, 1545, 1605});
    statusPicture.setPicture(0);
    statusPicture.setAccessibleRole(ui::AccessibleRole::Graphic);
    statusPicture.setAccessibleName(L"");
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
        d.button.setFont(fontFor(p_.strings, lang::Role::Button, 9));
        d.button.setCaption(text(d.caption));
        d.button.setTabIndex(d.tabIndex);
        d.button.setEnabled(true);
    }

    // The menu's texts follow the string table, so they are set with the rest of the design.
    consoleMenu.items().clear();
    for (const menu::Row& row : menu::kRows) {
        ui::MenuItem item{std::wstring(row.command), text(row.text), std::wstring(ui::key::nameOf(row.key)),
                          [this, choose = row.choose] { command(choose); }};
        item.separatorBefore = row.separatorBefore;
        consoleMenu.items().push_back(std::move(item));
    }

    refreshTimer.setInterval(1000);
    refreshTimer.setEnabled(true);
    shownState_ = -1;
    showColours();
}

void MainWindow::showColours() {
    const bool running = shownState_ == scm::kRunning;
    if (p_.ui.highContrast()) {
        // The theme's own pairs, never one of them on a colour of ours: the running state in
        // the highlight pair, so the bar still differs beyond its words and its picture.
        using namespace ui::syscolor;
        statusBar.setBackColor(ui::Color::system(running ? kHighlight : kWindow));
        statusText.setForeColor(ui::Color::system(running ? kHighlightText : kWindowText));
        return;
    }
    statusBar.setBackColor(shownState_ == scm::kStopped ? kStoppedRed
                           : running                    ? kRunningGreen
                                                        : kDesignRed);
    statusText.setForeColor(kWhite);
}

void MainWindow::onThemeChanged() {
    showColours();
}

ServiceControl& MainWindow::spooler() {
    if (!spooler_) {
        spooler_ = std::make_unique<ServiceControl>(p_.scm, &p_.workstation);
    }
    return *spooler_;
}

void MainWindow::onLoading() {
    // The service manager answers over a pipe from another process: asked now, its answer
    // comes while the window and its controls are made rather than after them.
    firstState_ = std::make_unique<StateReadAhead>(p_.threads, p_.scm, &p_.workstation,
                                                   service::kSpooler);
}

void MainWindow::onLoad() {
    spooler().setName(service::kSpooler);
    spooler().setCommand(L"C:\\Windows\\System32\\spoolsv.exe");
    if (firstState_) {
        const std::int32_t state = firstState_->take();
        firstState_.reset();
        showState(state);
    } else {
        refreshStatus();
    }
}

void MainWindow::refreshStatus() {
    // One reading per refresh.
    showState(spooler().status());
}

void MainWindow::showState(std::int32_t state) {
    // A state other than these two leaves the display as it was. The controls ignore a value
    // they already hold, so an unchanged state repaints nothing.
    const bool known = state == scm::kStopped || state == scm::kRunning;
    if (known) {
        shownState_ = state;
        showColours();
        statusPicture.setPicture(state == scm::kStopped ? stoppedPicture.picture()
                                                        : runningPicture.picture());
        statusPicture.setAccessibleName(
            text(state == scm::kStopped ? IDS_STATE_STOPPED : IDS_STATE_RUNNING));
    }
    // While an operation runs the line tells its step; after it, what it did, until the
    // state changes.
    if (!busy_ && !note_.empty() && static_cast<std::uint32_t>(state) != noteState_) {
        note_.clear();
    }
    if (!note_.empty()) {
        showStatusLine(note_);
    } else if (known) {
        showStatusLine(text(state == scm::kStopped ? IDS_STATUS_STOPPED : IDS_STATUS_RUNNING));
    }
}

ui::Font MainWindow::statusFont(double points) const {
    return fontFor(p_.strings, lang::Role::StatusLine, points);
}

void MainWindow::showStatusLine(const std::vector<std::wstring>& forms,
                                const std::wstring& spoken) {
    if (forms.empty() || forms == shown_) {
        return; // its form and font were chosen when it was first shown
    }
    shown_ = forms;
    fitStatusLine(forms);
    // Heard once per state, step or outcome: a count moving on within a step is shown, and
    // its name follows, but nothing is announced for it.
    const std::wstring& heard = spoken.empty() ? forms.front() : spoken;
    if (heard != announced_) {
        announced_ = heard;
        p_.ui.announce(statusText);
    }
}

void MainWindow::fitStatusLine(const std::vector<std::wstring>& forms) {
    const int room = clientSize().width - kStatusMargin - statusText.left();
    const auto fits = [&] { return statusText.width() * 11 <= room * 10; };
    for (const std::wstring& form : forms) {
        statusText.setFont(statusFont());
        statusText.setCaption(form);
        if (fits()) {
            return;
        }
        statusText.setFont(statusFont(9));
        if (fits()) {
            return;
        }
    }
}
void MainWindow::showConsoleMenu() {
    markKeepItem();
    p_.ui.popupMenu(*this, consoleMenu, menuButton);
}

namespace {
// A dialog made at its first showing and kept for the program's life (each showing loads it
// afresh).
template <typename Window, typename... Made>
Window& madeOnce(std::unique_ptr<Window>& window, Made&&... made) {
    if (!window) {
        window = std::make_unique<Window>(std::forward<Made>(made)...);
    }
    return *window;
}
} // namespace

void MainWindow::showDefaultPrinterDialog() {
    p_.ui.showModal(madeOnce(printerDialog_, p_, printer_, *this));
}

void MainWindow::showDiagnosis() {
    p_.ui.showModal(madeOnce(diagnosis_, p_, *this));
    if (std::optional<plugins::PlugInRequest> chosen = diagnosis_->takeChoice()) {
        changePlugIn(*chosen);
    }
}

void MainWindow::showAbout() {
    p_.ui.showModal(madeOnce(about_, p_, *this));
}

void MainWindow::command(void (MainWindow::*what)()) {
    if (!busy_) {
        (this->*what)();
    }
}

bool MainWindow::onKeyDown(int keyCode, int /*shift*/) {
    for (const menu::Row& row : menu::kRows) {
        if (row.key != 0 && row.key == keyCode) {
            command(row.choose);
            return true;
        }
    }
    return false;
}

} // namespace kestrave
