#pragma once
#include <array>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "printer/CurrentPrinter.h"
#include "service/ClsSrvCtrl.h"
#include "ui/Control.h"
#include "ui/FileListBox.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace kestrave {

class Form2;
class FrmAbout;

// The main window: the spooler's status, its repair and disable, and the way to the rest.
class Form1 : public ui::Form {
  public:
    Form1(Platform& platform, CurrentPrinter& printer);
    ~Form1() override;

    // Brings the bar, the text and the picture into line with the service's state.
    void IsServiceStatus();

    // How long repair and disable wait for the spooler to stop, in milliseconds.
    static constexpr int kStopWaitMs = 30000;
    static constexpr int kStopPollMs = 250;

    std::array<ui::Label, 2> LabelTip;
    std::array<ui::Image, 3> Img;
    ui::CommandButton Command1;
    ui::CommandButton Command2;
    ui::CommandButton Command3;
    ui::CommandButton Command4;
    ui::FileListBox File1;
    ui::Timer Timer1;
    ui::Menu mMenu;

    ClsSrvCtrl* serviceForTest() const { return srv_.get(); }
    FrmAbout* aboutForTest() const { return about_.get(); }

    // Event handlers.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();
    void WinServices_Click();
    void WinUpdate_Click();
    void WinNetShare_Click();
    void WinDefPrintSet_Click();
    void mAbout_Click();

  protected:
    void design() override;
    void Form_Load() override;
    void Form_KeyDown(int keyCode, int shift) override;

  private:
    ClsSrvCtrl& srv();
    void runHidden(const std::wstring& commandLine);
    bool waitUntilStopped();
    std::wstring spoolFolder();
    std::wstring clearSpoolFolder(const std::wstring& folder);

    Platform& p_;
    CurrentPrinter& printer_;
    std::unique_ptr<ClsSrvCtrl> srv_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<FrmAbout> about_;
};

namespace text {
inline const std::wstring kStopped = L"打印机后台服务已停止工作";
inline const std::wstring kRunning = L"打印机后台服务正在运行中...";
inline const std::wstring kUnknown = L"Unkown";
} // namespace text

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
