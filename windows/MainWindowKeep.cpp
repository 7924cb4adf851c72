// The main window's side of keeping what a repair clears: the machine's choice in the menu,
// and putting the last kept jobs back once the administrator has seen what they are.
#include "core/events/ChangeEvents.h"
#include "core/keep/KeepSettings.h"
#include "core/keep/KeptRepairs.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"
#include "windows/MainWindow.h"

namespace kestrave {

void MainWindow::markKeepItem() {
    const KeepSettings settings = readKeepSettings(p_.registry);
    for (ui::MenuItem& item : consoleMenu.items()) {
        if (item.name == L"keepClearedJobs") {
            item.checked = settings.keep;
            item.enabled = !settings.keepByPolicy; // policy's choice is shown, not changed
        }
    }
}

void MainWindow::toggleKeepClearedJobs() {
    const KeepSettings settings = readKeepSettings(p_.registry);
    if (settings.keepByPolicy) {
        return;
    }
    const std::uint32_t code = writeKeepChoice(p_.registry, !settings.keep);
    events::recordKeepSetting(p_.eventLog, !settings.keep, code, events::Origin::Window,
                              p_.strings,
                              [this](std::uint32_t c) { return p_.ui.systemMessage(c); });
    if (code != 0) {
        p_.ui.messageBox(text(IDS_KEEP_NOT_SAVED) + p_.ui.systemMessage(code),
                         text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    }
}

void MainWindow::restoreClearedJobs() {
    // What the last kept repair holds, read before anything is stopped.
    std::wstring name;
    std::wstring where;
    std::vector<QueuedJob> jobs;
    std::uint32_t refused = 0;
    try {
        const auto kept = p_.files.openKeepFolder(false);
        name = keptRepairToRestore(*kept, p_.files.now());
        if (!name.empty()) {
            // A repair that will not open is asked about all the same: the restore says why.
            std::unique_ptr<IOpenFolder> repair;
            std::vector<FileEntry> entries;
            if (kept->openSubfolder(name, repair) == 0 && repair->list(entries) == 0) {
                jobs = queuedJobs(*repair, entries, joblimits::kDescribedAtAGlance);
                where = repair->path();
            }
        }
    } catch (const SystemError& e) {
        refused = e.code() == err::kFileNotFound ? 0 : e.code();
    }
    if (name.empty()) {
        p_.ui.messageBox(text(IDS_PROBLEM_NOTHING_KEPT) +
                             (refused != 0 ? L" " + p_.ui.systemMessage(refused) : L""),
                         text(IDS_NOTE_TITLE), ui::msgbox::kIconInformation);
        return;
    }
    std::wstring question = substitute(text(IDS_RESTORE_FROM), where);
    for (const std::wstring& line : jobLines(jobs, joblimits::kListedInMessage, p_.strings)) {
        question += L"\n" + line;
    }
    question += L"\n\n" + text(IDS_RESTORE_CONFIRM);
    if (p_.ui.messageBox(question, text(IDS_APP_NAME),
                         ui::msgbox::kYesNo | ui::msgbox::kIconQuestion |
                             ui::msgbox::kDefaultSecond) == ui::msgbox::kAnsweredYes) {
        restoreFrom(name);
    }
}

} // namespace kestrave
