#include "core/spooler/Operations.h"

#include <iterator>

#include "core/events/EventIds.h"
#include "resources/StringIds.h"

namespace kestrave {

namespace {
using namespace events;
// A repair's lines are its own: doneLine and cliDone are their frames.
constexpr OperationRow kOperations[] = {
    {Operation::Repair, "repair", false, Carries::Repair, IDS_OUTCOME_REPAIRED,
     IDS_OUTCOME_NOT_REPAIRED, IDS_CLI_REPAIR_DONE, IDS_CLI_REPAIR_FAILED, kRepairDone,
     kRepairFailed},
    {Operation::Disable, "disable", true, Carries::Nothing, IDS_OUTCOME_DISABLED,
     IDS_OUTCOME_NOT_DISABLED, IDS_CLI_DISABLE_DONE, IDS_CLI_DISABLE_FAILED, kDisableDone,
     kDisableFailed},
    {Operation::Restore, "restore", false, Carries::Restored, IDS_OUTCOME_RESTORED,
     IDS_OUTCOME_NOT_RESTORED, IDS_CLI_RESTORE_DONE, IDS_CLI_RESTORE_FAILED, kRestoreDone,
     kRestoreFailed},
    {Operation::Quarantine, "quarantine", false, Carries::PlugIn, IDS_OUTCOME_QUARANTINED,
     IDS_OUTCOME_NOT_QUARANTINED, IDS_CLI_QUARANTINE_DONE, IDS_CLI_QUARANTINE_FAILED,
     kQuarantineDone, kQuarantineFailed},
    {Operation::Unquarantine, "unquarantine", false, Carries::PlugIn, IDS_OUTCOME_UNQUARANTINED,
     IDS_OUTCOME_NOT_UNQUARANTINED, IDS_CLI_UNQUARANTINE_DONE, IDS_CLI_UNQUARANTINE_FAILED,
     kUnquarantineDone, kUnquarantineFailed},
};

constexpr bool inOrder() {
    for (std::size_t i = 0; i < std::size(kOperations); ++i) {
        if (static_cast<std::size_t>(kOperations[i].operation) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inOrder(), "one row per operation, in the enumeration's order");
static_assert(std::size(kOperations) == static_cast<std::size_t>(kLastOperation) + 1,
              "the last operation has its row");
} // namespace

const OperationRow& rowOf(Operation operation) {
    return kOperations[static_cast<std::size_t>(operation)];
}

} // namespace kestrave
