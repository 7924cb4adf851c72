#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/plugins/PlugInQuarantine.h"
#include "core/printers/CurrentPrinter.h"
#include "core/service/ServiceControl.h"
#include "core/service/StateReadAhead.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerOperation.h"
#include "windows/Platform.h"
#include "resources/StringIds.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace kestrave {


class DefaultPrinterDialog;
class AboutWindow;
class DiagnosisWindow;

// The main window: the spooler's status, its repair and disable, and the way to the rest.
class MainWindow : public ui::Form, private IOperationObserver {
  public:
    MainWindow(Platform& platform, CurrentPrinter& printer, Timing timing = {});
    ~MainWindow() override;

    // Brings the bar, the text and the picture into line with the service's state.
    void refreshStatus();
    // Shows a line on the status bar: at the status font, or smaller where it would not fit
    // with a tenth of the bar to spare (fonts differ from one system to another); given
    // shorter forms too, the longest that fits. The same line again changes nothing, so an
    // idle window repaints nothing.
    // `spoken` is what assistive technology hears of it (the line itself when empty): one
    // announcement per change of that.
    void showStatusLine(const std::wstring& line) { showStatusLine(std::vector{line}); }
    void showStatusLine(const std::vector<std::wstring>& forms, const std::wstring& spoken = {});

    ui::Label statusBar;
    ui::Label statusText;
    ui::Image statusPicture;
    ui::Image runningPicture; // never shown: the pictures the status picture copies
    ui::Image stoppedPicture;
    ui::CommandButton repairButton;
    ui::CommandButton disableButton;
    ui::CommandButton devicesButton;
    ui::CommandButton menuButton;
    ui::Timer refreshTimer;
    ui::Menu consoleMenu;

    void repair();
    void disable();
    void openDevicesAndPrinters();
    void showConsoleMenu();
    void openServices();
    void openInstalledUpdates();
    void openNetworkCenter();
    void showDefaultPrinterDialog();
    void showDiagnosis();
    void showAbout();
    // The machine's choice to keep what a repair clears (greyed where policy decides it).
    void toggleKeepClearedJobs();
    // Shows what the last kept repair holds and, confirmed, puts it back in the queue.
    void restoreClearedJobs();

  protected:
    void design() override;
    void onLoading() override;
    void onLoad() override;
    bool onKeyDown(int keyCode, int shift) override;
    void onThemeChanged() override;
    bool onCloseRequest() override;

  private:
    // The bar, the text and the picture for this state.
    void showState(std::int32_t state);
    // The bar's and the line's colours for the state shown: the design's, or the system's
    // while a high-contrast theme is on.
    void showColours();
    void fitStatusLine(const std::vector<std::wstring>& forms);
    // The status line's font: its face in this language, at its size (smaller for a long line).
    ui::Font statusFont(double points = 12) const;
    class OperationScope;
    std::array<ui::CommandButton*, 4> buttons();
    void step(Step step, std::size_t done, std::size_t total) override;
    SpoolerWorld world();
    void report(Operation operation, const Outcome& outcome);
    // Runs one operation as the window's only one, then shows and reports its outcome.
    // What the user asks for (a button, a menu item, its key): nothing while an operation runs.
    void command(void (MainWindow::*what)());
    // Runs one operation: the window busy meanwhile, its note, its report, a close held back.
    void perform(Operation operation, const std::function<Outcome()>& run);
    void restoreFrom(const std::wstring& name);
    // Takes a plug-in out of the spooler, or puts it back, as chosen in the diagnosis.
    void changePlugIn(const plugins::PlugInRequest& request);
    void finish(Operation operation, const Outcome& outcome);
    void closeIfAsked();
    // Starts a console by its full path (no command interpreter), shown, and does not wait
    // for it; a console that cannot be started is reported with the system's reason.
    void openConsole(const std::wstring& program, const std::wstring& arguments);
    void openShellFolder(const std::wstring& classId);
    ServiceControl& spooler();
    std::wstring text(int id) const { return p_.strings.text(id); }
    // The keep item's check and greying, as the settings stand when the menu opens.
    void markKeepItem();

    Platform& p_;
    CurrentPrinter& printer_;
    std::unique_ptr<ServiceControl> spooler_;
    // The first state, read while the window is made; gone once shown.
    std::unique_ptr<StateReadAhead> firstState_;
    std::unique_ptr<DefaultPrinterDialog> printerDialog_;
    std::unique_ptr<AboutWindow> about_;
    std::unique_ptr<DiagnosisWindow> diagnosis_;
    Timing timing_;
    bool busy_ = false;               // an operation runs
    bool closePending_ = false;       // the window was asked to close meanwhile
    std::vector<std::wstring> note_;  // the step under way, or what the last operation did
    std::vector<std::wstring> shown_; // the forms of the line on the bar now
    std::uint32_t noteState_ = 0;     // the state the outcome was shown in
    std::int32_t shownState_ = -1;    // the last state shown (-1: none yet)
    std::wstring announced_;          // what assistive technology last heard of the line
};

// The main window's menu, one row per item in the order it shows: the window builds its items
// from it, and the tests and the black-box driver (another process cannot read the menu under
// every system) find an item's position and the consoles here.
namespace menu {

struct Row {
    std::wstring_view command;
    int text;                   // its caption's string id
    void (MainWindow::*choose)(); // what choosing it does
    int key;                    // the key that chooses it (ui::key), its name beside the caption
    bool separatorBefore = false;
    bool console = false;       // it opens one of Windows' consoles
};

inline constexpr Row kRows[] = {
    {L"services", IDS_MENU_SERVICES, &MainWindow::openServices, 0, false, true},
    {L"installedUpdates", IDS_MENU_UPDATES, &MainWindow::openInstalledUpdates, 0, false, true},
    {L"networkCenter", IDS_MENU_NETWORK, &MainWindow::openNetworkCenter, 0, false, true},
    {L"defaultPrinter", IDS_MENU_DEFAULT_PRINTER, &MainWindow::showDefaultPrinterDialog, 0},
    {L"diagnosis", IDS_DX_MENU, &MainWindow::showDiagnosis, 0},
    {L"keepClearedJobs", IDS_MENU_KEEP, &MainWindow::toggleKeepClearedJobs, 0, true},
    {L"restoreClearedJobs", IDS_MENU_RESTORE, &MainWindow::restoreClearedJobs, 0},
    {L"about", IDS_MENU_ABOUT, &MainWindow::showAbout, ui::key::kF1},
};

// Where the command stands in the menu; the count of rows when it is not one.
constexpr int position(std::wstring_view command) {
    int i = 0;
    for (const Row& r : kRows) {
        if (r.command == command) {
            return i;
        }
        ++i;
    }
    return i;
}

} // namespace menu

// The shell folders the console shortcuts open, by their class ids.
namespace shellfolder {
inline const std::wstring kDevicesAndPrinters = L"{A8A91A66-3A7D-4424-8D24-04E180695C7A}";
inline const std::wstring kInstalledUpdates = L"{d450a8a1-9568-45c7-9c0e-b4f9fb4537bd}";
inline const std::wstring kNetworkCenter = L"{8E908FC9-BECC-40f6-915B-F4CA0E70D03D}";
} // namespace shellfolder

} // namespace kestrave
