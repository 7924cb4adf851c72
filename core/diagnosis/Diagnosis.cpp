#include "core/diagnosis/Diagnosis.h"
#include "core/plugins/QuarantineSection.h"
#include "core/sharing/SharingReport.h"

#include "core/text/TextFormat.h"
#include "core/diagnosis/FolderFindings.h"

#include <cwchar>
#include "core/text/PathText.h"

#include "core/service/ServiceControl.h"
#include "core/service/ServiceNames.h"
#include "core/spooler/OutcomeText.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"

namespace kestrave {

namespace {
constexpr std::uint32_t kEndOfFile = 38;         // ERROR_HANDLE_EOF
constexpr std::uint32_t kServiceSpecific = 1066; // ERROR_SERVICE_SPECIFIC_ERROR
constexpr int kEventDays = 30;
constexpr std::uint32_t kPrinterPaused = 0x1;
constexpr std::uint32_t kPrinterError = 0x2;
constexpr std::uint32_t kPrinterOffline = 0x80;

// A service's image path as a plain file path: no quotes, no arguments, %SystemRoot% expanded.
std::wstring programFile(const std::wstring& image, const std::wstring& windowsDir) {
    std::wstring program = programOf(image);
    for (const wchar_t* var : {L"%SYSTEMROOT%", L"%WINDIR%"}) {
        if (nameKey(program).rfind(var, 0) == 0) {
            program = windowsDir + program.substr(std::wcslen(var));
        }
    }
    return program;
}

class Builder {
  public:
    Builder(DiagnosisWorld& w, const IStringTable& s) : w_(w), s_(s) {}

    Report build() {
        Report r;
        r.sections.push_back(service());
        r.sections.push_back(folder());
        r.sections.push_back(plugIns());
        r.sections.push_back(printers());
        r.sections.push_back(events());
        r.sections.push_back(policies());
        r.sections.push_back(plugins::quarantineSection(w_.registry, s_));
        r.sections.push_back(
            sharing::sharingSection(w_.registry, s_, state_ == scm::kRunning));
        r.plugIns = plugins::plugInChoices(w_.registry, w_.sources);
        return r;
    }

  private:
    std::wstring t(int id) const { return s_.text(id); }
    static Finding info(std::wstring text) { return {Finding::Kind::Info, std::move(text)}; }
    static Finding problem(std::wstring text) { return {Finding::Kind::Problem, std::move(text)}; }

    ReportSection service() {
        ReportSection sec{IDS_DX_SERVICE, {}};
        ServiceControl spooler(w_.scm);
        spooler.setName(service::kSpooler);
        const ServiceControl::StateReading reading = spooler.readState();
        if (reading.error == err::kServiceDoesNotExist) {
            sec.findings.push_back(problem(t(IDS_DXP_MISSING)));
            return sec;
        }
        state_ = reading.state;
        std::uint32_t startType = 0;
        spooler.startType(startType);
        const std::uint32_t pid = spooler.processId();
        sec.findings.push_back(info(
            substitute(t(IDS_DX_STATE), {stateText(state_, false, s_), startTypeText(startType, s_),
                                         pid != 0 ? decimal(pid) : t(IDS_DX_NONE)})));
        if (state_ != scm::kRunning) {
            sec.findings.push_back(
                problem(substitute(t(IDS_DXP_NOT_RUNNING), stateText(state_, false, s_))));
        }
        // A start that died leaves its reason in the status: the system's code, or the
        // service's own number when it set one (1066).
        ServiceStatus status;
        if (state_ == scm::kStopped && spooler.readStatus(status) == 0 &&
            status.win32ExitCode != 0) {
            const std::wstring why =
                status.win32ExitCode == kServiceSpecific
                    ? substitute(t(IDS_DX_EXIT_SPECIFIC),
                                 decimal(status.serviceSpecificExitCode))
                    : w_.systemMessage(status.win32ExitCode);
            sec.findings.push_back(problem(substitute(t(IDS_DXP_START_DIED), why)));
        }
        if (const auto details = w_.sources.serviceDetails(service::kSpooler)) {
            displayName_ = details->displayName;
            sec.findings.push_back(info(substitute(t(IDS_DX_IMAGE), details->imagePath)));
            const std::wstring expected = w_.files.systemDirectory() + L"\\spoolsv.exe";
            if (nameKey(programFile(details->imagePath, w_.files.windowsDirectory())) !=
                nameKey(expected)) {
                sec.findings.push_back(problem(substitute(t(IDS_DXP_IMAGE), details->imagePath)));
            }
            for (const std::wstring& needed : details->dependsOn) {
                if (needed.empty() || needed.front() == L'+') {
                    continue; // a load-order group, not a service
                }
                ServiceControl other(w_.scm);
                other.setName(needed);
                if (other.readState().error == err::kServiceDoesNotExist) {
                    sec.findings.push_back(problem(substitute(t(IDS_DXP_DEPENDENCY), needed)));
                } else {
                    sec.findings.push_back(info(substitute(t(IDS_DX_DEPENDS_OK), needed)));
                }
            }
            std::wstring recovery;
            for (const RecoveryAction& a : details->recovery) {
                const std::wstring one = a.type == 1   ? substitute(t(IDS_DX_RECOVERY_RESTART),
                                                                    decimal(a.delayMs / 1000))
                                         : a.type == 0 ? t(IDS_DX_NONE)
                                                       : t(IDS_DX_RECOVERY_OTHER);
                recovery += (recovery.empty() ? L"" : t(IDS_LIST_SEPARATOR)) + one;
            }
            sec.findings.push_back(
                info(substitute(t(IDS_DX_RECOVERY), recovery.empty() ? t(IDS_DX_NONE) : recovery)));
        }
        std::vector<DependentService> dependents;
        if (const std::uint32_t code = spooler.activeDependents(dependents); code != 0) {
            sec.findings.push_back(
                info(substitute(t(IDS_DX_DEPENDENTS_UNLISTED), decimal(code))));
        }
        for (const DependentService& d : dependents) {
            sec.findings.push_back(
                info(substitute(t(IDS_DX_DEPENDENT), {d.name, stateText(d.state, false, s_)})));
        }
        return sec;
    }

    ReportSection folder() { return spoolFolderSection(w_, s_, state_); }

    void plugIn(ReportSection& sec, const PlugIn& p, const std::wstring& maker) {
        const SystemFile file = w_.sources.systemFile(p.path.empty() ? p.driver : p.path);
        if (!file.exists) {
            sec.findings.push_back(
                problem(substitute(t(IDS_DXP_PLUGIN_MISSING), {p.name, p.driver})));
            return;
        }
        sec.findings.push_back(info(substitute(
            t(IDS_DX_PLUGIN),
            {p.name, p.driver, file.company.empty() ? t(IDS_DX_NO_MAKER) : file.company})));
        if (file.company.empty()) {
            sec.findings.push_back(
                {Finding::Kind::Note, substitute(t(IDS_DXN_NO_MAKER), {p.name, p.driver})});
        } else if (nameKey(file.company) != nameKey(maker)) {
            sec.findings.push_back(
                {Finding::Kind::Note,
                 substitute(t(IDS_DXN_FOREIGN), {p.name, p.driver, file.company})});
        }
    }

    ReportSection plugIns() {
        ReportSection sec{IDS_DX_PLUGINS, {}};
        const std::wstring maker = w_.sources.systemMaker();
        for (const PlugIn& p : w_.sources.printProcessors()) {
            plugIn(sec, p, maker);
        }
        for (const PlugIn& p : w_.sources.portMonitors()) {
            plugIn(sec, p, maker);
        }
        return sec;
    }

    std::wstring statusText(std::uint32_t status) const {
        std::wstring text;
        const struct {
            std::uint32_t bit;
            int id;
        } bits[] = {{kPrinterPaused, IDS_DX_STATUS_PAUSED},
                    {kPrinterError, IDS_DX_STATUS_ERROR},
                    {kPrinterOffline, IDS_DX_STATUS_OFFLINE}};
        for (const auto& b : bits) {
            if ((status & b.bit) != 0) {
                text += (text.empty() ? L"" : t(IDS_LIST_SEPARATOR)) + t(b.id);
            }
        }
        return text;
    }

    ReportSection printers() {
        ReportSection sec{IDS_DX_PRINTERS, {}};
        std::vector<PrinterDetails> list;
        try {
            list = w_.sources.printers();
        } catch (const SourceTimedOut& e) {
            sec.findings.push_back(problem(
                substitute(t(IDS_DXP_PRINTERS_TIMED_OUT), decimal(e.waitedSeconds()))));
            return sec;
        } catch (const SystemError& e) {
            sec.findings.push_back(
                info(t(IDS_DX_PRINTERS_UNREADABLE) + w_.systemMessage(e.code())));
            return sec;
        }
        if (list.empty()) {
            sec.findings.push_back(info(t(IDS_DX_NONE)));
        }
        for (const PrinterDetails& p : list) {
            const std::wstring trouble = statusText(p.status);
            sec.findings.push_back(info(
                substitute(t(IDS_DX_PRINTER), {p.name, p.driver, p.port,
                                               trouble.empty() ? t(IDS_DX_STATUS_READY) : trouble,
                                               decimal(p.jobs)})));
            if (!trouble.empty()) {
                sec.findings.push_back(problem(substitute(t(IDS_DXP_PRINTER), {p.name, trouble})));
            }
            printerOwnFolder(w_, s_, p.name, sec.findings);
        }
        return sec;
    }

    void tally(ReportSection& sec, int what, const EventTally& e, int problemId) {
        // Reading past the last entry (38) is an empty log, not an unreadable one.
        if (!e.readable && e.error == kEndOfFile) {
            sec.findings.push_back(info(substitute(t(IDS_DX_LOG_EMPTY), t(what))));
        } else if (!e.readable && e.error == err::kTimeout) {
            sec.findings.push_back(info(substitute(
                t(IDS_DX_LOG_TIMED_OUT), {t(what), decimal(e.waitedSeconds)})));
        } else if (!e.readable) {
            sec.findings.push_back(
                info(substitute(t(IDS_DX_LOG_UNREADABLE), {t(what), w_.systemMessage(e.error)})));
        } else if (e.count == 0) {
            sec.findings.push_back(info(substitute(t(IDS_DX_EVENTS_NONE), t(what))));
        } else {
            sec.findings.push_back(info(
                substitute(t(IDS_DX_EVENTS_LINE), {t(what), decimal(e.count), e.newest})));
            sec.findings.push_back(problem(substitute(t(problemId), decimal(e.count))));
        }
    }

    ReportSection events() {
        ReportSection sec{IDS_DX_EVENTS, {}};
        tally(sec, IDS_DX_LOG_SYSTEM,
              w_.sources.serviceFailures(displayName_.empty() ? std::wstring(service::kSpooler)
                                                              : displayName_,
                                         kEventDays),
              IDS_DXP_CRASHES);
        tally(sec, IDS_DX_LOG_PRINT, w_.sources.printServiceErrors(kEventDays),
              IDS_DXP_PLUGIN_EVENTS);
        return sec;
    }

    ReportSection policies() {
        ReportSection sec{IDS_DX_POLICIES, {}};
        const auto restrict = w_.sources.restrictDriverInstallation();
        sec.findings.push_back(
            info(substitute(t(IDS_DX_POLICY_RESTRICT),
                            restrict ? decimal(*restrict) : t(IDS_DX_POLICY_UNSET))));
        sec.findings.push_back(info(
            substitute(t(IDS_DX_POLICY_MANAGED),
                       t(w_.session.windowsManagesDefaultPrinter() ? IDS_DX_YES : IDS_DX_NO))));
        return sec;
    }

    DiagnosisWorld& w_;
    const IStringTable& s_;
    std::uint32_t state_ = 0;
    std::wstring displayName_;
};
} // namespace

Report diagnose(DiagnosisWorld& world, const IStringTable& strings) {
    return Builder(world, strings).build();
}

} // namespace kestrave
