#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "app/App.h"
#include "windows/DefaultPrinterDialog.h"
#include "core/printers/DefaultPrinter.h"
#include "tests/wine/WineSupport.h"

#include <winspool.h>

using namespace kestrave;

namespace {

struct Main : ui::Form {
    explicit Main(ui::IWindowSystem& ws) : Form(ws, L"MainWindow") {}
    void design() override {
        setCaption(L"main");
        setClientSize({3000, 1500});
        setIcon(1);
    }
};

std::wstring systemDefault() {
    wchar_t name[256] = {};
    DWORD size = 256;
    return ::GetDefaultPrinterW(name, &size) ? name : L"";
}

// Adds a printer like one of the CUPS queues (same driver and port) to Wine's printer list.
bool addPrinter(const std::wstring& name) {
    HANDLE model = nullptr;
    if (!::OpenPrinterW(const_cast<wchar_t*>(L"KestraveA"), &model, nullptr)) {
        return false;
    }
    DWORD needed = 0;
    ::GetPrinterW(model, 2, nullptr, 0, &needed);
    std::vector<PRINTER_INFO_2W> buffer(needed / sizeof(PRINTER_INFO_2W) + 1);
    const BOOL got =
        ::GetPrinterW(model, 2, reinterpret_cast<BYTE*>(buffer.data()),
                      static_cast<DWORD>(buffer.size() * sizeof(PRINTER_INFO_2W)), &needed);
    ::ClosePrinter(model);
    if (!got) {
        return false;
    }
    PRINTER_INFO_2W info = buffer[0];
    info.pPrinterName = const_cast<wchar_t*>(name.c_str());
    info.pShareName = nullptr;
    HANDLE h = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (h != nullptr) {
        ::ClosePrinter(h);
    }
    return h != nullptr;
}

bool deletePrinter(const std::wstring& name) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE h = nullptr;
    if (!::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, &defaults)) {
        return false;
    }
    const BOOL ok = ::DeletePrinter(h);
    ::ClosePrinter(h);
    return ok != FALSE;
}

struct PrinterWine : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    Main main{app.ui};
    DefaultPrinterDialog dialog{app.platform, app.currentPrinter, main};
    void SetUp() override { app.ui.show(main); }
    void TearDown() override {
        if (main.loaded()) {
            app.ui.unload(main);
        }
        test::pumpFor(50); // takes the quit message the main window leaves
    }
    // Opens the dialog, runs the user's part from a timer inside its modal loop, closes it.
    void whileOpen(const std::function<void()>& user) {
        test::runSoon(
            [this, user] {
                user();
                app.ui.unload(dialog);
            },
            200);
        app.ui.showModal(dialog);
    }
    void choose(const std::wstring& name) {
        HWND combo = app.ui.hwndOf(dialog.printerList);
        const LRESULT i = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_GE(i, 0);
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        ::SendMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
    }
};

TEST_F(PrinterWine, ListsTheCupsPrintersWithTheDefaultSelected) {
    const std::vector<std::wstring> listed = app.printers.enumPrinters();
    ASSERT_GE(listed.size(), 3u);
    EXPECT_NE(std::find(listed.begin(), listed.end(), L"打印机二"), listed.end());
    whileOpen([&] {
        EXPECT_EQ(dialog.printerList.items(), listed);
        HWND combo = app.ui.hwndOf(dialog.printerList);
        EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(listed.size()));
        EXPECT_EQ(dialog.printerList.text(), systemDefault());
        EXPECT_EQ(test::windowText(app.ui.hwndOf(dialog)), L"默认打印机设置");
    });
}

TEST_F(PrinterWine, SettingTheChinesePrinterMakesItTheDefault) {
    test::MessageBoxCloser closer;
    whileOpen([&] {
        choose(L"打印机二");
        ::SendMessageW(app.ui.hwndOf(dialog.setButton), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(systemDefault(), L"打印机二");
    const auto boxes = closer.seen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"提示：");
    EXPECT_EQ(boxes[0].text, L"已成功将系统默认打印机设置为：打印机二");
}

TEST_F(PrinterWine, RemovedPrinterFailsAndAnAddedOneIsListedOnReopening) {
    const std::wstring added = L"KestraveAdded";
    ASSERT_TRUE(addPrinter(added)) << ::GetLastError();
    test::MessageBoxCloser closer;
    whileOpen([&] {
        choose(added);
        ASSERT_TRUE(deletePrinter(added)); // removed while the dialog is open
        ::SendMessageW(app.ui.hwndOf(dialog.setButton), BM_CLICK, 0, 0);
    });
    auto boxes = closer.seen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"错误！");
    EXPECT_EQ(boxes[0].text, L"设置失败！");
    ASSERT_TRUE(addPrinter(added));
    whileOpen([&] {
        const auto& items = dialog.printerList.items();
        EXPECT_NE(std::find(items.begin(), items.end(), added), items.end());
    });
    deletePrinter(added);
}

TEST_F(PrinterWine, UnknownPrinterFails) {
    test::MessageBoxCloser closer;
    CurrentPrinter before = app.currentPrinter;
    DefaultPrinter(app.printers, app.network, app.currentPrinter)
        .setDefaultPrinter(L"KestraveNoSuchPrinter");
    EXPECT_EQ(app.currentPrinter.deviceName(), before.deviceName());
}

TEST_F(PrinterWine, EveryCupsPrinterSetThroughTheDialogReadsBack) {
    test::MessageBoxCloser closer;
    const std::vector<std::wstring> listed = app.printers.enumPrinters();
    ASSERT_GE(listed.size(), 3u);
    for (const std::wstring& name : listed) {
        whileOpen([&] {
            choose(name);
            ::SendMessageW(app.ui.hwndOf(dialog.setButton), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(systemDefault(), name);
    }
    const auto boxes = closer.seen();
    ASSERT_EQ(boxes.size(), listed.size());
    for (const auto& box : boxes) {
        EXPECT_EQ(box.title, L"提示：");
    }
}

// The registry value under HKCU that says whether Windows manages the default printer.
std::optional<DWORD> legacyMode() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER,
                       L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                       L"LegacyDefaultPrinterMode", RRF_RT_REG_DWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

void removeLegacyMode() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER,
                         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                         L"LegacyDefaultPrinterMode");
}

TEST_F(PrinterWine, TheCheckBoxFollowsTheRegistryAndWritesOnlyWhenTicked) {
    removeLegacyMode();
    test::MessageBoxCloser closer;
    // Wine reports Windows 10, where Windows manages the default while the value is missing.
    const bool managed = app.session.windowsManagesDefaultPrinter();
    std::printf("Windows manages the default printer in this prefix: %s\n", managed ? "yes" : "no");
    if (std::getenv("KESTRAVE_EXPECT_MANAGED") != nullptr) {
        EXPECT_TRUE(managed); // the script made this prefix Windows 10
    }
    whileOpen([&] {
        HWND box = app.ui.hwndOf(dialog.keepChoiceBox);
        EXPECT_EQ(::IsWindowVisible(box) != FALSE, managed);
        EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        choose(L"KestraveB");
        ::SendMessageW(app.ui.hwndOf(dialog.setButton), BM_CLICK, 0, 0);
    });
    EXPECT_FALSE(legacyMode().has_value()); // not ticked: nothing written
    if (managed) {
        whileOpen([&] {
            // Ticked as the user does, with a click.
            ::SendMessageW(app.ui.hwndOf(dialog.keepChoiceBox), BM_CLICK, 0, 0);
            EXPECT_TRUE(dialog.keepChoiceBox.checked());
            choose(L"KestraveA");
            ::SendMessageW(app.ui.hwndOf(dialog.setButton), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(legacyMode(), std::optional<DWORD>(1));
        EXPECT_FALSE(app.session.windowsManagesDefaultPrinter());
        whileOpen([&] { EXPECT_FALSE(::IsWindowVisible(app.ui.hwndOf(dialog.keepChoiceBox))); });
    }
    EXPECT_EQ(systemDefault(), managed ? L"KestraveA" : L"KestraveB");
    // Run as the desktop's own user here: no line about another account.
    EXPECT_FALSE(app.session.accountIfNotDesktopUser().has_value());
    removeLegacyMode();
}

} // namespace
