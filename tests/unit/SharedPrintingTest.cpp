// Printing to shared printers: the settings read as Windows reads them (absent, each
// documented value, of a wrong type), the defaults told from the build and update revision
// where they can be, what exposes the machine listed first, and error codes explained.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/sharing/SharingReport.h"
#include "resources/StringIds.h"
#include "tests/fakes/FakeConsole.h"
#include "tests/fakes/KeepScene.h"
#include "windows/DiagnosisWindow.h"
#include "windows/MainWindow.h"

using namespace kestrave;
using namespace kestrave::sharing;

namespace {

const std::wstring kVersion = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::wstring kPointAndPrint =
    L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\PointAndPrint";
const std::wstring kRpc = L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\RPC";
const std::wstring kPrint = L"SYSTEM\\CurrentControlSet\\Control\\Print";

struct SharedPrinting : test::KeepStage {
    const fake::FakeStringTable english{fake::FakeStringTable::Language::English};
    void build(const std::wstring& number, std::optional<std::uint32_t> revision) {
        w.registry.setString(kVersion, L"CurrentBuildNumber", number);
        if (revision) {
            w.registry.setDword(kVersion, L"UBR", *revision);
        }
    }
    std::wstring said(const wchar_t* name) {
        const Setting* s = settingNamed(name);
        return valueText(readSetting(w.registry, *s), windowsBuild(w.registry), english);
    }
    ReportSection section(bool running = true) {
        return sharingSection(w.registry, english, running);
    }
    static std::size_t count(const ReportSection& s, Finding::Kind kind, const std::wstring& part) {
        std::size_t n = 0;
        for (const Finding& f : s.findings) {
            n += f.kind == kind && f.text.find(part) != std::wstring::npos ? 1 : 0;
        }
        return n;
    }
    int cli(std::vector<std::wstring> args, fake::FakeConsole& console) {
        fake::FakeLogFile log;
        cli::CliWorld world = commandLine(console, log);
        return runCommandLine(cli::parseArguments(args), world);
    }
};

TEST_F(SharedPrinting, AnAbsentValueSaysWhatThisBuildDoesWhereItCanBeTold) {
    const wchar_t* restrict = L"RestrictDriverInstallationToAdministrators";
    build(L"19045", 5000);
    EXPECT_EQ(said(restrict), L"not set: administrators only (the August 2021 updates on)");
    EXPECT_EQ(said(L"RpcUseNamedPipeProtocol"), L"not set, and not read before Windows 11 22H2");
    EXPECT_EQ(said(L"RpcAuthnLevelPrivacyEnabled"),
              L"not set: required, as with 1 (the September 2021 updates on)");

    w.registry.keys.clear();
    build(L"19041", 1164); // the revision before the August 2021 update
    EXPECT_NE(said(restrict).find(L"predates the August 2021 updates"), std::wstring::npos);
    EXPECT_NE(said(L"RpcAuthnLevelPrivacyEnabled").find(L"not required"), std::wstring::npos);
    w.registry.setDword(kVersion, L"UBR", 1165);
    EXPECT_EQ(said(restrict), L"not set: administrators only (the August 2021 updates on)");

    // Without a revision, or on a Windows whose rollups cannot be told apart: said so.
    w.registry.keys.clear();
    build(L"17763", std::nullopt);
    EXPECT_EQ(said(restrict), L"not set: what Windows does depends on the updates installed");
    w.registry.keys.clear();
    build(L"7601", std::nullopt);
    EXPECT_EQ(said(restrict), L"not set: what Windows does depends on the updates installed");
    w.registry.keys.clear();
    EXPECT_EQ(said(L"RpcAuthnLevelPrivacyEnabled"),
              L"not set: what Windows does depends on the updates installed")
        << "no build recorded at all";

    w.registry.keys.clear();
    build(L"22631", 4000);
    EXPECT_EQ(said(L"RpcUseNamedPipeProtocol"), L"not set: RPC over TCP");
    EXPECT_EQ(said(L"RpcProtocols"), L"not set: RPC over TCP only");
    EXPECT_EQ(said(L"RpcTcpPort"), L"not set: dynamic ports (49152-65535)");
}

TEST_F(SharedPrinting, DocumentedValuesAreNamedOthersShownAsTheyAreWrongTypesIgnored) {
    for (const auto& [value, meaning] : std::vector<std::pair<std::uint32_t, std::wstring>>{
             {3, L"3 (RPC over named pipes)"},
             {5, L"5 (RPC over TCP)"},
             {7, L"7 (RPC over named pipes and TCP)"},
             {9, L"9"}}) {
        w.registry.setDword(kRpc, L"RpcProtocols", value);
        EXPECT_EQ(said(L"RpcProtocols"), meaning);
    }
    for (const auto& [value, meaning] : std::vector<std::pair<std::uint32_t, std::wstring>>{
             {0, L"0 (warning and elevation prompt)"},
             {1, L"1 (warning only)"},
             {2, L"2 (no warning, no elevation prompt)"}}) {
        w.registry.setDword(kPointAndPrint, L"UpdatePromptSettings", value);
        EXPECT_EQ(said(L"UpdatePromptSettings"), meaning);
    }
    w.registry.setDword(kRpc, L"RpcTcpPort", 49200);
    EXPECT_EQ(said(L"RpcTcpPort"), L"49200");

    // A text where a number belongs, or a number of two bytes: not the setting to Windows,
    // and no finding drawn from it.
    w.registry.setString(kPointAndPrint, L"RestrictDriverInstallationToAdministrators", L"0");
    EXPECT_EQ(said(L"RestrictDriverInstallationToAdministrators"),
              L"of the wrong type, so Windows does not read it as this setting");
    EXPECT_EQ(count(section(), Finding::Kind::Problem, L"every user"), 0u);
    w.registry.setRaw(kPrint, L"RpcAuthnLevelPrivacyEnabled", reg::kDword, {0, 0});
    EXPECT_EQ(said(L"RpcAuthnLevelPrivacyEnabled"),
              L"of the wrong type, so Windows does not read it as this setting");

    // Lists: the trusted servers as written, the approved ones a value each, long ones cut.
    w.registry.setString(kPointAndPrint, L"ServerList", L"print1.corp;print2.corp");
    EXPECT_EQ(said(L"ServerList"), L"print1.corp;print2.corp");
    const std::wstring servers = kPointAndPrint.substr(0, kPointAndPrint.size() - 13) +
                                 L"PackagePointAndPrint\\ListofServers";
    w.registry.setString(servers, L"1", L"print1.corp");
    w.registry.setString(servers, L"2", L"print2.corp");
    EXPECT_EQ(said(L"ListofServers"), L"print1.corp; print2.corp");
    w.registry.setString(kPointAndPrint, L"ServerList", std::wstring(5000, L's'));
    EXPECT_EQ(said(L"ServerList").size(), 513u) << "512 characters and an ellipsis";
}

TEST_F(SharedPrinting, WhatExposesTheMachineIsAProblemListedBeforeTheOthers) {
    build(L"20348", 2000);
    EXPECT_EQ(count(section(), Finding::Kind::Problem, L""), 0u) << "all absent: nothing exposed";

    w.registry.setDword(kPointAndPrint, L"RestrictDriverInstallationToAdministrators", 0);
    w.registry.setDword(kPointAndPrint, L"NoWarningNoElevationOnInstall", 1);
    const ReportSection open = section();
    EXPECT_EQ(count(open, Finding::Kind::Problem, L"every user may install"), 1u);
    EXPECT_EQ(count(open, Finding::Kind::Problem, L"without a warning"), 1u);
    w.registry.setDword(kPointAndPrint, L"NoWarningNoElevationOnInstall", 0);
    w.registry.setDword(kPointAndPrint, L"UpdatePromptSettings", 2);
    EXPECT_EQ(count(section(), Finding::Kind::Problem, L"without a warning"), 1u);
    w.registry.setDword(kPointAndPrint, L"UpdatePromptSettings", 1);
    w.registry.setDword(kPointAndPrint, L"RestrictDriverInstallationToAdministrators", 1);
    EXPECT_EQ(count(section(), Finding::Kind::Problem, L""), 0u);

    // A domain controller's spooler taking client connections; refused, or stopped: fine.
    w.registry.setString(L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType",
                         L"LanmanNT");
    EXPECT_EQ(count(section(true), Finding::Kind::Problem, L"domain controller"), 1u);
    EXPECT_EQ(count(section(false), Finding::Kind::Problem, L"domain controller"), 0u);
    w.registry.setDword(L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers",
                        L"RegisterSpoolerRemoteRpcEndPoint", 2);
    EXPECT_EQ(count(section(true), Finding::Kind::Problem, L"domain controller"), 0u);
    w.registry.setString(L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType",
                         L"ServerNT");
    w.registry.setDword(L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers",
                        L"RegisterSpoolerRemoteRpcEndPoint", 1);
    EXPECT_EQ(count(section(true), Finding::Kind::Problem, L"domain controller"), 0u);

    // The server's privacy switched off: a note, with what it exposes.
    w.registry.setDword(kPrint, L"RpcAuthnLevelPrivacyEnabled", 0);
    EXPECT_EQ(count(section(), Finding::Kind::Note, L"CVE-2021-1678"), 1u);

    // Among the report's problems, drivers open to every user come before a stopped spooler.
    w.registry.setDword(kPointAndPrint, L"RestrictDriverInstallationToAdministrators", 0);
    w.scm.services.at(L"Spooler").state = scm::kStopped;
    DiagnosisWorld world{w.scm, w.files, w.registry, w.diagnosis, w.session,
                         [](std::uint32_t c) { return std::to_wstring(c); }};
    const std::vector<std::wstring> lines = diagnose(world, w.strings).lines(w.strings);
    ASSERT_GT(lines.size(), 4u);
    EXPECT_NE(lines[3].find(L"RestrictDriverInstallationToAdministrators"), std::wstring::npos)
        << lines[3];
}

TEST_F(SharedPrinting, CodesAreReadAsHexWithTheDecimalReadingWhereThatIsKnownToo) {
    for (const wchar_t* typed : {L"0x11b", L"11B", L"0X0000011b", L"  11b  "}) {
        const CodeReadings r = readCode(typed);
        ASSERT_EQ(r.codes.size(), 1u) << typed;
        EXPECT_EQ(r.codes[0], 0x11Bu) << typed;
    }
    const CodeReadings both = readCode(L"1801");
    ASSERT_EQ(both.codes.size(), 2u);
    EXPECT_EQ(both.codes[0], 0x1801u);
    EXPECT_EQ(both.codes[1], 0x709u);
    EXPECT_TRUE(both.decimalToo);
    EXPECT_EQ(readCode(L"709").codes.size(), 1u) << "709 in decimal is no code explained";
    EXPECT_EQ(readCode(L"0x1801").codes.size(), 1u) << "0x says hexadecimal";
    for (const wchar_t* typed : {L"", L"0x", L"11b 7c", L"123456789", L"g1", L"-1", L"0x-1"}) {
        EXPECT_TRUE(readCode(typed).codes.empty()) << typed;
    }
}

TEST_F(SharedPrinting, EachCodeNamesItsSettingsWithTheirValuesAndAnUnknownOneGetsTheSystems) {
    build(L"22631", 4000);
    w.registry.setDword(kRpc, L"RpcProtocols", 7);
    const auto explained = [&](const wchar_t* typed, bool& known) {
        std::wstring text;
        for (const std::wstring& line :
             explainCode(readCode(typed), w.registry, english,
                         [](std::uint32_t c) { return L"system text " + std::to_wstring(c); },
                         known)) {
            text += line + L"\n";
        }
        return text;
    };
    const std::vector<std::pair<const wchar_t*, std::vector<std::wstring>>> expected = {
        {L"0x0000011b", {L"0x0000011B: ", L"RpcAuthnLevelPrivacyEnabled", L"cannot read"}},
        {L"709", {L"0x00000709: ", L"RpcProtocols (HKLM\\" + kRpc + L"): 7 (RPC over named pipes and TCP)"}},
        {L"7c", {L"0x0000007C: ", L"RestrictDriverInstallationToAdministrators"}},
        {L"bc4", {L"0x00000BC4: ", L"RpcTcpPort", L"RpcUseNamedPipeProtocol"}},
        {L"bcb", {L"0x00000BCB: ", L"ServerList", L"TrustedServers"}},
        {L"6ba", {L"0x000006BA: ", L"RegisterSpoolerRemoteRpcEndPoint"}},
    };
    for (const auto& [typed, parts] : expected) {
        bool known = false;
        const std::wstring text = explained(typed, known);
        EXPECT_TRUE(known) << typed;
        EXPECT_NE(text.find(L"What to try: "), std::wstring::npos) << typed;
        for (const std::wstring& part : parts) {
            EXPECT_NE(text.find(part), std::wstring::npos) << typed << " lacks " << part << "\n"
                                                           << text;
        }
    }
    bool known = true;
    const std::wstring unknown = explained(L"1234", known);
    EXPECT_FALSE(known);
    EXPECT_NE(unknown.find(L"0x00001234 is not an error Kestrave explains"), std::wstring::npos);
    EXPECT_NE(unknown.find(L"system text 4660"), std::wstring::npos) << unknown;
}

TEST_F(SharedPrinting, TheCommandLineAndTheWindowGiveTheSameAnswer) {
    fake::FakeConsole ok, unknown, bad, empty;
    EXPECT_EQ(cli({L"/explain:0x11b"}, ok), 0);
    ASSERT_FALSE(ok.out.empty());
    EXPECT_NE(ok.out[0].find(L"0x0000011B"), std::wstring::npos);
    EXPECT_EQ(cli({L"/explain:1234"}, unknown), 1);
    EXPECT_EQ(cli({L"/explain:zz"}, bad), 2);
    ASSERT_EQ(bad.err.size(), 1u) << "the reason alone, not the usage";
    EXPECT_NE(bad.err[0].find(L"zz"), std::wstring::npos);
    EXPECT_EQ(cli({L"/explain:"}, empty), 2);
    fake::FakeConsole document, report;
    EXPECT_EQ(cli({L"/explain:11b", L"/json"}, document), 0);
    ASSERT_EQ(document.out.size(), 1u);
    EXPECT_NE(document.out[0].find(L"\"known\":true"), std::wstring::npos) << document.out[0];
    EXPECT_NE(document.out[0].find(L"\"code\":\"0x0000011B\""), std::wstring::npos);
    cli({L"/diagnose", L"/json"}, report);
    EXPECT_NE(report.out.back().find(L"\"id\":\"sharedPrinting\""), std::wstring::npos);

    CurrentPrinter printer{w.printers};
    MainWindow main{w.platform, printer};
    w.ui.show(main);
    std::vector<std::wstring> typed = {L"0x11b", L"zz"};
    w.ui.whileModal = [&](ui::Form& f) {
        auto& window = static_cast<DiagnosisWindow&>(f);
        // The report in first: its reading must not outlive this test's stand-ins.
        for (int i = 0; i < 6000 && window.gathering(); ++i) { // 30 s: valgrind is slow
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            window.gatherTimer.tick();
        }
        for (const std::wstring& code : typed) {
            window.codeBox.setCaption(code);
            window.fire(window.explainButton.onClick);
        }
    };
    main.showDiagnosis();
    ASSERT_EQ(w.ui.boxes.size(), 2u);
    std::wstring cliText;
    for (const std::wstring& line : ok.out) {
        cliText += (cliText.empty() ? L"" : L"\n") + line;
    }
    EXPECT_EQ(w.ui.boxes[0].text, cliText);
    EXPECT_EQ(w.ui.boxes[1].style & ui::msgbox::kIconError, ui::msgbox::kIconError);
}

} // namespace
