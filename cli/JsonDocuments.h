#pragma once
#include <functional>
#include <string>
#include <vector>

#include "cli/SpoolerSnapshot.h"
#include "core/diagnosis/Diagnosis.h"
#include "core/plugins/QuarantineJournal.h"

namespace kestrave::cli {

// /json: one document on one line for each action, keys and kinds stable English identifiers
// (the README lists them), texts in the user's language.

// What fleets keep of a script's output: Intune 2,048 characters. /status and the changes
// stay within it whatever the queue: long lists are cut, and their counts given.
constexpr std::size_t kFleetOutputLimit = 2048;

const char* stateName(std::uint32_t state, bool missing);
const char* startTypeName(std::uint32_t startType);
const char* stepName(Step step);
const char* problemKindName(ProblemKind kind);

std::string statusDocument(const Snapshot& s, int exitCode, const std::wstring& line);

struct OperationReport {
    Operation operation;
    Snapshot before;
    Snapshot after;
    const Outcome& outcome;
    std::vector<Step> steps;
    int exitCode;
    std::wstring summary;                              // the last line, as /status says it
    std::function<std::wstring(const Problem&)> words; // a problem or note in words
};
std::string operationDocument(const OperationReport& report);

// A change refused before anything was tried (without administrator rights).
std::string refusalDocument(Operation operation, int exitCode, const char* kind,
                            const std::wstring& text);

std::string diagnosisDocument(const Report& report, int exitCode, const IStringTable& strings);

// An error code explained: each reading of it, whether it is one explained, and the lines.
std::string explainDocument(const std::vector<std::uint32_t>& codes, bool known,
                            const std::vector<std::wstring>& lines, int exitCode);

// What the quarantine holds, each plug-in with when and by whom it was taken out, its state
// and the printers it had (their own print processor and datatype).
std::string quarantineDocument(const std::vector<plugins::QuarantineEntry>& entries, int exitCode);

} // namespace kestrave::cli
