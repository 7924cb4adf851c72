#pragma once
#include <memory>
#include <string>

#include "core/printers/CurrentPrinter.h"
#include "core/service/ServiceControl.h"
#include "platform/Platform.h"
#include "ui/Control.h"
#include "ui/FileListBox.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace kestrave {

class DefaultPrinterDialog;
class AboutWindow;

// The main window: the spooler's status, its repair and disable, and the way to the rest.
class MainWindow : public ui::Form {
  public:
    MainWindow(Platform& platform, CurrentPrinter& printer);
    ~MainWindow() override;

    // Brings the bar, the text and the picture into line with the service's state.
    void refreshStatus();

    // How long repair and disable wait for the spooler to stop, in milliseconds.
    static constexpr int kStopWaitMs = 30000;
    static constexpr int kStopPollMs = 250;

    ui::Label statusBar;
    ui::Label statusText;
    ui::Image statusPicture;
    ui::Image runningPicture; // never shown: the pictures the status picture copies
    ui::Image stoppedPicture;
    ui::CommandButton repairButton;
    ui::CommandButton disableButton;
    ui::CommandButton devicesButton;
    ui::CommandButton menuButton;
    ui::FileListBox spoolFiles;
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
    void showAbout();

  protected:
    void design() override;
    void onLoad() override;
    void onKeyDown(int keyCode, int shift) override;

  private:
    ServiceControl& spooler();
    std::wstring text(int id) const { return p_.strings.text(id); }
    void runHidden(const std::wstring& commandLine);
    bool waitUntilStopped();
    std::wstring spoolFolder();
    std::wstring clearSpoolFolder(const std::wstring& folder);

    Platform& p_;
    CurrentPrinter& printer_;
    std::unique_ptr<ServiceControl> spooler_;
    std::unique_ptr<DefaultPrinterDialog> printerDialog_;
    std::unique_ptr<AboutWindow> about_;
};

namespace cmdline {
inline const std::wstring kAutoStart = L"sc config spooler start= AUTO";
inline const std::wstring kDisable = L"sc config spooler start= DISABLED";
inline const std::wstring kDevicesAndPrinters =
    L"cmd.exe /c explorer shell:::{A8A91A66-3A7D-4424-8D24-04E180695C7A}";
inline const std::wstring kServices = L"cmd.exe /c services.msc";
inline const std::wstring kInstalledUpdates =
    L"cmd.exe /c explorer shell:::{d450a8a1-9568-45c7-9c0e-b4f9fb4537bd}";
inline const std::wstring kNetworkCenter =
    L"cmd.exe /c explorer shell:::{8E908FC9-BECC-40f6-915B-F4CA0E70D03D}";
} // namespace cmdline

} // namespace kestrave
