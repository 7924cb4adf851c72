#include <gtest/gtest.h>

#include <algorithm>

#include "platform/UiLanguage.h"
#include "tests/fakes/FakeWorld.h"
#include "windows/AboutWindow.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

using Language = fake::FakeStringTable::Language;

TEST(StringTable, BothLanguagesCarryEveryText) {
    const fake::FakeStringTable zh(Language::Chinese);
    const fake::FakeStringTable en(Language::English);
    ASSERT_GE(zh.all().size(), 35u);
    EXPECT_EQ(zh.all().size(), en.all().size());
    for (const auto& [id, text] : zh.all()) {
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_FALSE(en.text(id).empty()) << "no English text for " << id;
    }
    // The Chinese texts as the program always had them, two typos mended.
    EXPECT_EQ(zh.text(zh.id("IDS_STATUS_RUNNING")), L"打印机后台服务正在运行中...");
    EXPECT_EQ(zh.text(zh.id("IDS_MENU_DEFAULT_PRINTER")), L"Windows 默认打印机设置");
    EXPECT_EQ(zh.text(zh.id("IDS_STATUS_UNKNOWN")), L"Unknown");
    EXPECT_EQ(en.text(en.id("IDS_MENU_DEFAULT_PRINTER")), L"Windows Default Printer Settings");
}

TEST(StringTable, ChineseForAnyChineseUiLanguageEnglishOtherwise) {
    for (int chinese : {0x0804, 0x0404, 0x0C04, 0x1004, 0x1404, 0x7804}) {
        EXPECT_EQ(tableLanguage(static_cast<std::uint16_t>(chinese)), kChineseSimplified)
            << std::hex << chinese;
    }
    for (int other : {0x0409, 0x0809, 0x0407, 0x040C, 0x0411, 0x0412, 0x0000}) {
        EXPECT_EQ(tableLanguage(static_cast<std::uint16_t>(other)), kEnglishUs)
            << std::hex << other;
    }
}

// Every text the windows show comes from the table: in English no Chinese character is left.
TEST(StringTable, EnglishWindowsShowNoChineseText) {
    test::FakeWorld w;
    fake::FakeStringTable english(Language::English);
    Platform platform{w.scm,      w.workstation, w.registry, w.ansi, w.processes, w.files, w.shell,
                      w.printers, w.network, w.session, w.lock, w.bounded, w.threads, english, w.ui};
    w.scm.add(L"Spooler", scm::kRunning);
    CurrentPrinter printer(w.printers);
    MainWindow main(platform, printer);
    w.ui.show(main);
    AboutWindow about(platform, main);
    DefaultPrinterDialog dialog(platform, printer, main);
    const auto hasChinese = [](const std::wstring& s) {
        return std::any_of(s.begin(), s.end(), [](wchar_t c) { return c >= 0x2E80; });
    };
    std::vector<ui::Form*> forms{&main};
    w.ui.whileModal = [&](ui::Form& f) { forms.push_back(&f); };
    w.ui.showModal(about);
    w.ui.showModal(dialog);
    ASSERT_EQ(forms.size(), 3u);
    for (ui::Form* f : forms) {
        EXPECT_FALSE(hasChinese(f->caption())) << f->name();
        for (const ui::Control* c : f->controls()) {
            EXPECT_FALSE(hasChinese(c->caption())) << c->name();
            EXPECT_FALSE(hasChinese(c->toolTip())) << c->name();
        }
    }
    for (const ui::MenuItem& item : main.consoleMenu.items()) {
        EXPECT_FALSE(hasChinese(item.caption)) << item.name;
    }
    EXPECT_EQ(main.statusText.caption(), L"The print spooler is running...");
}

} // namespace
