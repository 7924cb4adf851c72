// What assistive technology hears and what a high-contrast theme shows: the status area's
// name follows every line, one announcement per change (none per tick, none per count), the
// pictures named, every colour the system's while high contrast is on, the about window's
// links reached by the keyboard, and each dialog's Enter and Esc buttons.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "resources/StringIds.h"
#include "tests/fakes/FakeWorld.h"
#include "windows/AboutWindow.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/DiagnosisWindow.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

struct Accessibility : ::testing::Test {
    test::FakeWorld w;
    CurrentPrinter printer{w.printers};
    MainWindow form{w.platform, printer};
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";

    fake::FakeServiceManager::Service& spooler(std::uint32_t state) {
        return w.scm.add(L"Spooler", state);
    }
    // Every colour a form and its own painted controls use comes from the system's table.
    static void allSystemColours(const ui::Form& f) {
        EXPECT_TRUE(f.backColor().isSystem) << "the back of " << std::string(f.name().begin(), f.name().end());
        for (const ui::Control* c : f.controls()) {
            if (c->kind() != ui::ControlKind::Label || !c->visible()) {
                continue;
            }
            const std::string name(c->name().begin(), c->name().end());
            EXPECT_TRUE(c->foreColor().isSystem) << name;
            EXPECT_TRUE(!c->backOpaque() || c->backColor().isSystem) << name;
        }
    }
};

TEST_F(Accessibility, TheStatusNameFollowsEachLineAndIsAnnouncedOncePerChange) {
    spooler(scm::kRunning);
    w.ui.show(form);
    EXPECT_EQ(form.statusText.accessibleRole(), ui::AccessibleRole::StatusText);
    EXPECT_EQ(form.statusText.accessibleName(), form.statusText.caption());
    ASSERT_EQ(w.ui.announced.size(), 1u);
    EXPECT_EQ(w.ui.announced[0], form.statusText.caption());

    for (int i = 0; i < 5; ++i) {
        form.refreshTimer.tick();
    }
    EXPECT_EQ(w.ui.announced.size(), 1u) << "an unchanged state announces nothing";

    w.scm.services.at(L"Spooler").state = scm::kStopped;
    form.refreshTimer.tick();
    ASSERT_EQ(w.ui.announced.size(), 2u);
    EXPECT_EQ(w.ui.announced[1], form.statusText.caption());
    EXPECT_EQ(form.statusText.accessibleName(), form.statusText.caption());
}

TEST_F(Accessibility, AClearingIsHeardAsItsStepsAndOutcomeNotAsItsCount) {
    spooler(scm::kRunning).startType = scm::kAutoStart;
    w.registry.setDword(L"SYSTEM\\CurrentControlSet\\Services\\Spooler", L"Start", 2);
    for (int i = 0; i < 1200; ++i) { // the count moves on every 512 files
        w.files.addFile(spool, L"0000" + std::to_wstring(i) + L".SPL");
    }
    w.ui.show(form);
    w.ui.announced.clear();
    form.fire(form.repairButton.onClick);

    std::size_t clearing = 0;
    for (const std::wstring& heard : w.ui.announced) {
        clearing += heard.find(w.strings.text(IDS_STEP_CLEARING)) != std::wstring::npos ? 1 : 0;
    }
    EXPECT_EQ(clearing, 1u) << "the clearing step once, whatever the count";
    std::size_t counts = 0; // the clearing's count, shown as it moved on
    for (const auto& p : w.ui.progress) {
        counts += p.kind == ui::IWindowSystem::Progress::Fraction && p.total == 1200 ? 1 : 0;
    }
    EXPECT_GT(counts, 1u);
    for (std::size_t i = 1; i < w.ui.announced.size(); ++i) {
        EXPECT_NE(w.ui.announced[i], w.ui.announced[i - 1]) << "nothing announced twice in a row";
    }
    EXPECT_EQ(w.ui.announced.back(), form.statusText.caption()) << "the outcome last";
    EXPECT_EQ(form.statusText.accessibleName(), form.statusText.caption());
}

TEST_F(Accessibility, ThePicturesSayWhatTheyShowInTheUsersLanguage) {
    auto& s = spooler(scm::kRunning);
    w.ui.show(form);
    EXPECT_EQ(form.statusPicture.accessibleRole(), ui::AccessibleRole::Graphic);
    EXPECT_EQ(form.statusPicture.accessibleName(), L"正在运行");
    s.state = scm::kStopped;
    form.refreshStatus();
    EXPECT_EQ(form.statusPicture.accessibleName(), L"已停止");

    AboutWindow about(w.platform, form);
    w.ui.show(about);
    EXPECT_EQ(about.printerPicture.accessibleRole(), ui::AccessibleRole::Graphic);
    EXPECT_FALSE(about.printerPicture.accessibleName().empty());
}

TEST_F(Accessibility, HighContrastSwitchedWhileOpenTakesEveryColourFromTheSystem) {
    auto& s = spooler(scm::kRunning);
    w.ui.show(form);
    const ui::Color designRunning = form.statusBar.backColor();
    EXPECT_FALSE(designRunning.isSystem);

    w.ui.highContrastOn = true;
    form.themeChanged();
    allSystemColours(form);
    EXPECT_EQ(form.statusBar.backColor(), ui::Color::system(ui::syscolor::kHighlight));
    EXPECT_EQ(form.statusText.foreColor(), ui::Color::system(ui::syscolor::kHighlightText));
    s.state = scm::kStopped;
    form.refreshStatus();
    allSystemColours(form);
    EXPECT_EQ(form.statusBar.backColor(), ui::Color::system(ui::syscolor::kWindow));
    EXPECT_EQ(form.statusText.foreColor(), ui::Color::system(ui::syscolor::kWindowText));
    EXPECT_NE(form.statusText.caption().find(L"停止"), std::wstring::npos)
        << "the state is said in words, not told by colour alone";

    AboutWindow about(w.platform, form);
    w.ui.show(about);
    allSystemColours(about);
    EXPECT_EQ(about.siteLink.foreColor(), ui::Color::system(ui::syscolor::kHotLight));

    // Switched off again: the design's colours, at once.
    w.ui.highContrastOn = false;
    form.themeChanged();
    about.themeChanged();
    EXPECT_FALSE(form.statusBar.backColor().isSystem);
    EXPECT_EQ(form.statusText.foreColor(), ui::Color::rgb(0xFFFFFF));
    EXPECT_FALSE(about.backColor().isSystem);
    EXPECT_EQ(about.siteLink.foreColor(), ui::Color::system(ui::syscolor::kHighlight));
}

TEST_F(Accessibility, TheAboutLinksAreReachedInOrderAndOpenedAsAClickOpensThem) {
    spooler(scm::kRunning);
    w.ui.show(form);
    AboutWindow about(w.platform, form);
    w.ui.show(about);
    std::vector<const ui::Control*> stops;
    for (const ui::Control* c : about.controls()) {
        if (c->tabIndex() >= 0) {
            stops.push_back(c);
        }
    }
    ASSERT_EQ(stops.size(), 2u) << "the two links, and nothing else the keyboard cannot use";
    EXPECT_EQ(about.siteLink.tabIndex(), 0);
    EXPECT_EQ(about.donateLink.tabIndex(), 1);
    for (const ui::Label* link : {&about.siteLink, &about.donateLink}) {
        EXPECT_EQ(link->accessibleRole(), ui::AccessibleRole::Link);
        EXPECT_EQ(link->accessibleAction(), L"打开");
        EXPECT_EQ(link->accessibleName(), link->caption());
    }
    about.fire(about.siteLink.onClick); // what Enter, Space or the default action do
    ASSERT_EQ(w.shell.opened.size(), 1u);
}

TEST_F(Accessibility, EachDialogHasItsEnterAndEscButtons) {
    spooler(scm::kRunning);
    w.ui.show(form);
    DefaultPrinterDialog printers(w.platform, printer, form);
    w.ui.show(printers);
    EXPECT_EQ(printers.defaultButton(), &printers.setButton);
    EXPECT_TRUE(printers.closesOnEscape());
    DiagnosisWindow diagnosis(w.platform, form);
    w.ui.show(diagnosis);
    // Its report read to the end: the reading must not outlive this test's stand-ins.
    for (int i = 0; i < 6000 && diagnosis.gathering(); ++i) { // 30 s: valgrind is slow
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        diagnosis.gatherTimer.tick();
    }
    EXPECT_FALSE(diagnosis.gathering());
    EXPECT_EQ(diagnosis.defaultButton(), &diagnosis.explainButton);
    EXPECT_EQ(diagnosis.cancelButton(), &diagnosis.closeButton);
}

} // namespace
