#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "core/text/Languages.h"
#include "tests/fakes/FakeWorld.h"
#include "windows/AboutWindow.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

using Language = fake::FakeStringTable::Language;

// The %N marks of a text, in order.
std::vector<std::wstring> placeholders(const std::wstring& text) {
    std::vector<std::wstring> marks;
    for (std::size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 1)) {
        if (at + 1 < text.size() && std::iswdigit(text[at + 1])) {
            marks.push_back(text.substr(at, 2));
        }
    }
    std::sort(marks.begin(), marks.end());
    return marks;
}

TEST(StringTable, EveryBlockCarriesEveryTextWithTheEnglishPlaceholders) {
    const fake::FakeStringTable table;
    const std::vector<std::uint16_t> blocks = table.blocks();
    ASSERT_EQ(blocks.size(), lang::all().size());
    const auto& english = table.block(lang::kEnglish);
    ASSERT_GE(english.size(), 35u);
    for (const lang::Language& l : lang::all()) {
        const auto& texts = table.block(l.block);
        EXPECT_EQ(texts.size(), english.size()) << std::hex << l.block;
        for (const auto& [id, text] : english) {
            const std::wstring own = table.textIn(l.block, id);
            EXPECT_FALSE(own.empty()) << std::hex << l.block << std::dec << " lacks " << id;
            EXPECT_EQ(placeholders(own), placeholders(text))
                << std::hex << l.block << std::dec << " " << id;
        }
    }
    const fake::FakeStringTable zh(Language::Chinese);
    const fake::FakeStringTable en(Language::English);
    const fake::FakeStringTable tw(Language::Traditional);
    // The Chinese texts as the program always had them, two typos mended.
    EXPECT_EQ(zh.text(zh.id("IDS_STATUS_RUNNING")), L"打印机后台服务正在运行中...");
    EXPECT_EQ(zh.text(zh.id("IDS_MENU_DEFAULT_PRINTER")), L"Windows 默认打印机设置");
    EXPECT_EQ(zh.text(zh.id("IDS_STATUS_UNKNOWN")), L"Unknown");
    EXPECT_EQ(en.text(en.id("IDS_MENU_DEFAULT_PRINTER")), L"Windows Default Printer Settings");
    EXPECT_EQ(tw.text(tw.id("IDS_MENU_DEFAULT_PRINTER")), L"Windows 預設印表機設定");
}

// Characters only Simplified Chinese writes: a Traditional text holding one was converted
// carelessly or copied over.
TEST(StringTable, TheTraditionalBlockHoldsNoSimplifiedCharacter) {
    const std::wstring simplifiedOnly =
        L"们个为这设务复删动启执时发现问题诊断录档态类机队认锁进关网络单击储从与块统连链数错误读写"
        L"钟义带厂归项载报览开择选"
        L"后";
    const fake::FakeStringTable tw(Language::Traditional);
    for (const auto& [id, text] : tw.all()) {
        EXPECT_EQ(text.find_first_of(simplifiedOnly), std::wstring::npos) << id;
    }
}

TEST(StringTable, EachUiLanguageReadsTheBlockTheTableGivesIt) {
    const struct {
        std::uint16_t uiLanguage;
        std::uint16_t block;
    } cases[] = {
        {0x0404, lang::kTraditional}, // Taiwan
        {0x0C04, lang::kTraditional}, // Hong Kong
        {0x1404, lang::kTraditional}, // Macau
        {0x7C04, lang::kTraditional}, // Traditional, neutral
        {0x0804, lang::kSimplified},  // China
        {0x1004, lang::kSimplified},  // Singapore
        {0x0004, lang::kSimplified},  // Simplified, neutral
        {0x7804, lang::kSimplified},  // Chinese, neutral
        {0x0409, lang::kEnglish},     {0x0809, lang::kEnglish}, {0x0407, lang::kEnglish},
        {0x040C, lang::kEnglish},     {0x0411, lang::kEnglish}, {0x0000, lang::kEnglish},
    };
    for (const auto& c : cases) {
        const fake::FakeStringTable table(c.uiLanguage);
        EXPECT_EQ(table.language().block, c.block) << std::hex << c.uiLanguage;
        EXPECT_EQ(table.text(table.id("IDS_STATUS_RUNNING")),
                  table.textIn(c.block, table.id("IDS_STATUS_RUNNING")))
            << std::hex << c.uiLanguage;
    }
    // Each language's own faces; English takes the system's.
    for (lang::Role role : {lang::Role::StatusLine, lang::Role::Button, lang::Role::Report}) {
        EXPECT_EQ(lang::ofBlock(lang::kTraditional).face(role), L"Microsoft JhengHei");
        EXPECT_EQ(lang::ofBlock(lang::kSimplified).face(role), L"微软雅黑");
        EXPECT_EQ(lang::ofBlock(lang::kEnglish).face(role), L"");
    }
    EXPECT_EQ(lang::ofBlock(lang::kSimplified).face(lang::Role::StatusBar), L"宋体");
}

TEST(StringTable, ATextMissingFromABlockFallsBackToEnglishNeverBlank) {
    std::string script = fake::FakeStringTable::read("Strings.rc");
    // The running line taken out of the Traditional block only.
    const std::size_t block = script.find("SUBLANG_CHINESE_TRADITIONAL");
    const std::size_t line = script.find("    IDS_STATUS_RUNNING ", block);
    ASSERT_NE(line, std::string::npos);
    script.erase(line, script.find('\n', line) + 1 - line);
    const fake::FakeStringTable tw(0x0404, script);
    const int running = tw.id("IDS_STATUS_RUNNING");
    EXPECT_EQ(tw.textIn(lang::kTraditional, running), L"");
    EXPECT_EQ(tw.text(running), L"The print spooler is running...");
    EXPECT_EQ(tw.text(tw.id("IDS_STATUS_STOPPED")), L"印表機背景服務已停止工作");
    // The other blocks still have theirs.
    EXPECT_EQ(fake::FakeStringTable(0x0804, script).text(running), L"打印机后台服务正在运行中...");
    // An id no block has stays empty.
    EXPECT_EQ(tw.text(9999), L"");
}

// The main window, the about window and the printer dialog opened in one language, the
// spooler in the given state.
struct WindowsInLanguage {
    WindowsInLanguage(std::uint16_t block, std::int32_t spooler) : strings(block) {
        w.scm.add(L"Spooler", spooler);
        w.ui.show(main);
        w.ui.whileModal = [this](ui::Form& f) { forms.push_back(&f); };
        w.ui.showModal(about);
        w.ui.showModal(dialog);
    }
    test::FakeWorld w;
    fake::FakeStringTable strings;
    Platform platform{w.scm,   w.workstation, w.registry, w.ansi,    w.processes,
                      w.files, w.shell,       w.printers, w.network, w.session,
                      w.lock,  w.bounded,     w.threads,  strings,   w.ui,
                      w.eventLog};
    CurrentPrinter printer{w.printers};
    MainWindow main{platform, printer};
    AboutWindow about{platform, main};
    DefaultPrinterDialog dialog{platform, printer, main};
    std::vector<ui::Form*> forms{&main};
};

// Every text the windows show comes from the table: in English no Chinese character is left.
TEST(StringTable, EnglishWindowsShowNoChineseText) {
    WindowsInLanguage in(lang::kEnglish, scm::kRunning);
    const auto hasChinese = [](const std::wstring& s) {
        return std::any_of(s.begin(), s.end(), [](wchar_t c) { return c >= 0x2E80; });
    };
    ASSERT_EQ(in.forms.size(), 3u);
    for (ui::Form* f : in.forms) {
        EXPECT_FALSE(hasChinese(f->caption())) << f->name();
        for (const ui::Control* c : f->controls()) {
            EXPECT_FALSE(hasChinese(c->caption())) << c->name();
            EXPECT_FALSE(hasChinese(c->toolTip())) << c->name();
        }
    }
    for (const ui::MenuItem& item : in.main.consoleMenu.items()) {
        EXPECT_FALSE(hasChinese(item.caption)) << item.name;
    }
    EXPECT_EQ(in.main.statusText.caption(), L"The print spooler is running...");
}

// No face is fixed in a window: each comes from its language's row of the table.
TEST(StringTable, EveryWindowSetsItsTextsInItsLanguagesFaces) {
    for (const lang::Language& l : lang::all()) {
        WindowsInLanguage in(l.block, scm::kStopped);
        ASSERT_EQ(in.forms.size(), 3u);
        const std::wstring_view* first = std::begin(l.faces);
        const std::wstring_view* last = std::end(l.faces);
        for (ui::Form* f : in.forms) {
            for (const ui::Control* c : f->controls()) {
                if (c->kind() == ui::ControlKind::Image) {
                    continue; // shows no text
                }
                EXPECT_NE(std::find(first, last, c->font().face), last)
                    << std::hex << l.block << " " << f->name() << "." << c->name();
            }
        }
        EXPECT_EQ(in.main.statusText.caption(),
                  in.strings.text(in.strings.id("IDS_STATUS_STOPPED")));
        EXPECT_EQ(in.main.repairButton.font().face, l.face(lang::Role::Button));
    }
}

} // namespace
