// The diagnosis window's offer: the third-party plug-ins it names, never Windows' own, asked
// about with the printers they change (twice for a file claiming the system's maker), taken
// out or put back by the main window once the diagnosis has closed; nothing changes on a No.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/unit/QuarantineStage.h"
#include "windows/DiagnosisWindow.h"
#include "windows/MainWindow.h"

using namespace kestrave;
using namespace kestrave::test;
using namespace std::chrono_literals;

namespace {

struct QuarantineWindow : QuarantineStage {
    CurrentPrinter printer{w.printers};
    MainWindow main{w.platform, printer};
    std::vector<std::wstring> offered;      // the menu's captions, each time it popped up
    std::vector<std::wstring> answers;      // what each question is answered, in turn ("" = No)
    bool buttonEnabled = false;
    QuarantineWindow() {
        monitor();
        w.diagnosis.monitors.push_back({L"Acme Port", L"acmemon.dll", {}});
        w.diagnosis.files[L"acmemon.dll"] = {true, L"Acme Corporation"};
        w.ui.show(main);
        w.ui.onMessageBox = [this](const fake::HeadlessWindowSystem::Box&) {
            const bool yes = !answers.empty() && !answers.front().empty();
            if (!answers.empty()) {
                answers.erase(answers.begin());
            }
            w.ui.boxAnswer = yes ? ui::msgbox::kAnsweredYes : 7;
        };
    }
    // Opens the diagnosis, waits for its report, and chooses the item of that plug-in (none:
    // only looks); the window's state is read before the choice.
    void chooseInDiagnosis(const std::wstring& plugIn) {
        w.ui.whileModal = [&](ui::Form& f) {
            auto& window = static_cast<DiagnosisWindow&>(f);
            for (int i = 0; i < 6000 && window.gathering(); ++i) { // 30 s: valgrind is slow
                std::this_thread::sleep_for(5ms);
                window.gatherTimer.tick();
            }
            EXPECT_FALSE(window.gathering());
            buttonEnabled = window.plugInButton.enabled();
            w.ui.onPopup = [&](ui::Menu& m) {
                for (const ui::MenuItem& item : m.items()) {
                    offered.push_back(item.caption);
                }
                for (const ui::MenuItem& item : m.items()) {
                    if (item.name == plugIn) {
                        window.fire(item.onClick);
                        return;
                    }
                }
            };
            window.fire(window.plugInButton.onClick);
            stillOpen = window.loaded();
        };
        main.showDiagnosis();
    }
    bool stillOpen = false;
    bool questionHas(std::size_t i, const std::wstring& part) const {
        return i < w.ui.boxes.size() && w.ui.boxes[i].text.find(part) != std::wstring::npos;
    }
};

TEST_F(QuarantineWindow, OffersTheThirdPartyPlugInsAndTakesOneOutOnceAskedNamingItsPrinters) {
    answers = {L"yes"};
    chooseInDiagnosis(L"AcmeFastPrint");
    EXPECT_TRUE(buttonEnabled);
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"隔离 AcmeFastPrint（打印处理器）",
                                                   L"隔离 Acme Port（端口监视器）"}))
        << "winprint and Local Port are Windows' own: never offered";
    ASSERT_GE(w.ui.boxes.size(), 1u);
    EXPECT_TRUE(questionHas(0, L"AcmeFastPrint"));
    EXPECT_TRUE(questionHas(0, L"\n  Office"));
    EXPECT_TRUE(questionHas(0, L"\n  Lobby"));
    EXPECT_FALSE(questionHas(0, L"Plain")) << "a printer on winprint is not affected";
    EXPECT_FALSE(stillOpen) << "the diagnosis closes so the progress is seen on the status line";

    // Done by the main window, as the command line does it.
    EXPECT_EQ(w.registry.keys.count(kAcme), 0u);
    EXPECT_EQ(text(kPrinters + L"\\Office", L"Print Processor"), L"winprint");
    EXPECT_NE(main.statusText.caption().find(L"AcmeFastPrint"), std::wstring::npos)
        << main.statusText.caption();
    EXPECT_EQ(w.scm.services.at(L"Spooler").state, scm::kRunning);
}

TEST_F(QuarantineWindow, NoChangesNothingAndAMonitorsQuestionNamesThePrintersThatWait) {
    answers = {L""};
    const auto before = live();
    chooseInDiagnosis(L"Acme Port");
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_TRUE(questionHas(0, L"\n  Desk")) << w.ui.boxes[0].text;
    EXPECT_TRUE(questionHas(0, L"\n  Hall"));
    EXPECT_TRUE(questionHas(0, L"\n  Office")) << "its driver names Acme Port as its monitor";
    EXPECT_EQ(w.ui.boxes[0].style & ui::msgbox::kDefaultSecond, ui::msgbox::kDefaultSecond)
        << "No is the default";
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(live(), before);
    EXPECT_TRUE(w.registry.children(L"SOFTWARE\\Kestrave\\Quarantine").empty());
}

TEST_F(QuarantineWindow, AFileClaimingTheSystemsMakerIsAskedTwiceAndTakenOutOnlyOnTwoYeses) {
    w.diagnosis.files[L"C:\\pp\\acmepp.dll"] = {true, L"Microsoft Corporation"};
    answers = {L"yes", L""};
    chooseInDiagnosis(L"AcmeFastPrint");
    ASSERT_EQ(w.ui.boxes.size(), 2u);
    EXPECT_TRUE(questionHas(1, L"Microsoft")) << w.ui.boxes[1].text;
    EXPECT_TRUE(questionHas(1, L"C:\\pp\\acmepp.dll"));
    EXPECT_EQ(w.registry.keys.count(kAcme), 1u);

    w.ui.boxes.clear();
    answers = {L"yes", L"yes"};
    chooseInDiagnosis(L"AcmeFastPrint");
    EXPECT_EQ(w.registry.keys.count(kAcme), 0u) << "the second Yes stands for /force";
}

TEST_F(QuarantineWindow, WhatIsQuarantinedIsOfferedBackAndPutBackWithItsPrinters) {
    ASSERT_TRUE(succeeded(Operation::Quarantine, run(L"AcmeFastPrint")));
    answers = {L"yes"};
    chooseInDiagnosis(L"AcmeFastPrint");
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"隔离 Acme Port（端口监视器）",
                                                   L"恢复 AcmeFastPrint（打印处理器）"}));
    ASSERT_GE(w.ui.boxes.size(), 1u);
    EXPECT_TRUE(questionHas(0, L"\n  Office"));
    EXPECT_TRUE(questionHas(1, L"Office")) << "the outcome names the printers set back";
    EXPECT_EQ(w.registry.keys.count(kAcme + L"\\Options\\Deeper"), 1u);
    EXPECT_EQ(text(kPrinters + L"\\Office", L"Datatype"), L"ACME_EMF");

    // Installed again meanwhile: no longer offered back (the diagnosis names it).
    ASSERT_TRUE(succeeded(Operation::Quarantine, run(L"AcmeFastPrint")));
    w.registry.setString(kAcme, L"Driver", L"acmepp2.dll");
    offered.clear();
    chooseInDiagnosis(L"");
    for (const std::wstring& item : offered) {
        EXPECT_EQ(item.find(L"恢复"), std::wstring::npos) << item;
    }
}

TEST_F(QuarantineWindow, TheButtonIsGreyedWhereOnlyWindowsOwnPlugInsAreThere) {
    w.diagnosis.processors.resize(1);
    w.diagnosis.monitors.resize(1);
    chooseInDiagnosis(L"");
    EXPECT_FALSE(buttonEnabled);
    EXPECT_TRUE(offered.empty());
}

} // namespace

#include "tests/fakes/JsonRead.h"

namespace {

// What a fleet reads back: the list as a document, each plug-in with its printers' own
// settings and its state, and the diagnosis's section by a name of its own.
TEST_F(QuarantineWindow, TheListAndTheDiagnosisAsDocuments) {
    ASSERT_TRUE(succeeded(Operation::Quarantine, run(L"AcmeFastPrint")));
    fake::FakeConsole console;
    ASSERT_EQ(cli({L"/quarantine", L"/json"}, console), 0);
    ASSERT_FALSE(console.out.empty());
    json::Value d = json::parse(console.out.back());
    EXPECT_EQ(d["action"].text, L"quarantine");
    ASSERT_EQ(d["plugIns"].items.size(), 1u);
    const json::Value& acme = d["plugIns"].items[0];
    EXPECT_EQ(acme["name"].text, L"AcmeFastPrint");
    EXPECT_EQ(acme["kind"].text, L"printProcessor");
    EXPECT_EQ(acme["takenOut"].text, L"2026-12-08T04:30:00Z");
    EXPECT_EQ(acme["state"].text, L"quarantined");
    ASSERT_EQ(acme["printers"].items.size(), 2u);
    std::wstring datatypes;
    for (const json::Value& p : acme["printers"].items) {
        datatypes += p["name"].text + L"=" + p["datatype"].text + L";";
    }
    EXPECT_NE(datatypes.find(L"Office=ACME_EMF;"), std::wstring::npos) << datatypes;
    EXPECT_NE(datatypes.find(L"Lobby=RAW;"), std::wstring::npos) << datatypes;

    // Installed again: said, and the list exits as before (a note, not a problem).
    w.registry.setString(kAcme, L"Driver", L"acmepp2.dll");
    fake::FakeConsole again;
    ASSERT_EQ(cli({L"/quarantine", L"/json"}, again), 0);
    EXPECT_EQ(json::parse(again.out.back())["plugIns"].items[0]["state"].text, L"installedAgain");

    fake::FakeConsole dx;
    cli({L"/diagnose", L"/json"}, dx);
    bool found = false;
    const json::Value report = json::parse(dx.out.back());
    for (const json::Value& section : report["sections"].items) {
        found = found || section["id"].text == L"quarantine";
    }
    EXPECT_TRUE(found);
}

} // namespace
