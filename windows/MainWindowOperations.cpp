// The main window's operations: the repair, the disable, putting kept jobs back and the
// quarantine, one at a time, with their progress on the status line and their outcome.
#include "windows/MainWindow.h"

#include "core/events/ChangeEvents.h"
#include "core/text/TextFormat.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerDisable.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "resources/StringIds.h"

namespace kestrave {

// One operation at a time: while one runs, the four buttons are greyed out, the menu's
// commands and F1 do nothing, and a close request waits for its end (and for the message that
// follows it: see closeIfAsked). The status refresh goes on. Every way out, an error
// included, gives the window back.
class MainWindow::OperationScope {
  public:
    explicit OperationScope(MainWindow& w) : w_(w) {
        w_.busy_ = true;
        w_.note_.clear(); // the last outcome goes when the next operation starts
        for (ui::CommandButton* b : w_.buttons()) {
            b->setEnabled(false);
        }
    }
    ~OperationScope() {
        for (ui::CommandButton* b : w_.buttons()) {
            b->setEnabled(true);
        }
        w_.busy_ = false;
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

  private:
    MainWindow& w_;
};

std::array<ui::CommandButton*, 4> MainWindow::buttons() {
    return {&repairButton, &disableButton, &devicesButton, &menuButton};
}

bool MainWindow::onCloseRequest() {
    if (busy_) {
        closePending_ = true;
        return false;
    }
    return true;
}

void MainWindow::step(Step step, std::size_t done, std::size_t total) {
    std::wstring line = stepText(step, p_.strings);
    const bool counting = (step == Step::ClearingQueue || step == Step::RestoringJobs) && total > 0;
    if (counting) {
        line += L" " + groupedNumber(done, p_.strings.language()) + L" / " +
                groupedNumber(total, p_.strings.language());
    }
    note_ = {line};
    showStatusLine(note_, stepText(step, p_.strings));
    p_.ui.setProgress(*this,
                      counting ? ui::IWindowSystem::Progress::Fraction
                               : ui::IWindowSystem::Progress::Indeterminate,
                      done, total);
}

void MainWindow::finish(Operation operation, const Outcome& outcome) {
    p_.ui.setProgress(*this, ui::IWindowSystem::Progress::None, 0, 0);
    events::recordOperation(p_.eventLog, operation, outcome, events::Origin::Window, p_.strings,
                            [this](std::uint32_t code) { return p_.ui.systemMessage(code); });
    note_ = outcomeLines(operation, outcome, p_.strings);
    noteState_ = static_cast<std::uint32_t>(spooler().status());
    showStatusLine(note_);
}

SpoolerWorld MainWindow::world() {
    return {p_.scm, p_.registry, p_.processes, p_.files, p_.ui, p_.lock};
}

void MainWindow::report(Operation operation, const Outcome& outcome) {
    const SystemMessage message = [this](std::uint32_t code) { return p_.ui.systemMessage(code); };
    // What is worth knowing though nothing failed: the hung spooler ended, sc overrunning.
    std::wstring notes = describeProblems(operation, outcome.notes, p_.strings, message);
    // What was kept, or what went back, a job a line.
    for (const std::wstring& job :
         jobLines(outcome.keptJobs, joblimits::kListedInMessage, p_.strings)) {
        notes += L"\n" + job;
    }
    const std::wstring problems =
        describeProblems(operation, outcome.problems, p_.strings, message);
    if (!problems.empty()) {
        p_.ui.messageBox(notes.empty() ? problems : notes + L"\n\n" + problems,
                         text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    } else if (!notes.empty()) {
        p_.ui.messageBox(notes, text(IDS_NOTE_TITLE), ui::msgbox::kIconInformation);
    }
}

void MainWindow::closeIfAsked() {
    // Asked while the operation ran: carried out now that its message has been read (a close
    // posted while the message box disabled the window would have been dropped).
    if (closePending_) {
        closePending_ = false;
        p_.ui.requestClose(*this);
    }
}

void MainWindow::perform(Operation operation, const std::function<Outcome()>& run) {
    Outcome outcome;
    {
        OperationScope scope(*this);
        outcome = run();
        finish(operation, outcome);
    }
    refreshStatus();
    report(operation, outcome);
    closeIfAsked();
}

void MainWindow::repair() {
    perform(Operation::Repair, [this] { return SpoolerRepair(world(), *this, timing_).run(); });
}

void MainWindow::disable() {
    perform(Operation::Disable, [this] { return SpoolerDisable(world(), *this, timing_).run(); });
}

void MainWindow::restoreFrom(const std::wstring& name) {
    perform(Operation::Restore,
            [&] { return SpoolerRestore(world(), *this, timing_, name).run(); });
}

void MainWindow::changePlugIn(const plugins::PlugInRequest& request) {
    perform(request.putBack ? Operation::Unquarantine : Operation::Quarantine, [&] {
        return plugins::PlugInQuarantine(world(), p_.diagnosis, p_.eventLog, *this, request,
                                         timing_)
            .run();
    });
}

} // namespace kestrave
