#include "cli/LogFileCheck.h"

namespace kestrave::cli {

namespace {
LogRefusal judge(const LogFileFacts& f) {
    if (!f.folderReached || f.fileIsLink) {
        return LogRefusal::Link;
    }
    if (f.names != 1) {
        return LogRefusal::HardLink;
    }
    if (f.elevated && (!f.folderOwnerTrusted || !f.fileOwnerTrusted)) {
        return LogRefusal::ForeignOwner;
    }
    return LogRefusal::None;
}
} // namespace

LogOpening openCheckedLog(ILogFile& log, const std::wstring& path) {
    LogFileFacts facts;
    LogOpening opening;
    opening.code = log.open(path, facts);
    if (opening.code != 0) {
        return opening;
    }
    opening.refusal = judge(facts);
    if (opening.refusal != LogRefusal::None) {
        log.close();
    }
    return opening;
}

} // namespace kestrave::cli
