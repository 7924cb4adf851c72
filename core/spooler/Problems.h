#pragma once

#include "core/spooler/Operation.h"

namespace kestrave {

// What a problem's text is filled in with.
enum class Fills {
    Subject,         // %1: the service, file, folder or plug-in it concerns (or nothing)
    Count,           // %1: files left, or the seconds a wait was bounded by
    CountAndSubject, // %1 files kept in %2
    SubjectAndSize,  // %1 the job, %2 its size in MB
    FileLine,        // "file: reason", a line under the text, which files left share
};

// One row per problem and note: everything the window, the command line and a JSON document
// say of it. A new kind is a row here and its text.
struct ProblemRow {
    ProblemKind kind;
    const char* name; // in a JSON document
    int text;
    int textUnlessRepair; // where the other operations say it otherwise; 0: the same
    Fills fills;
    // The name asked for is none there (no plug-in, nothing quarantined of it): nothing ran,
    // and the command line exits as for a wrong argument.
    bool wrongName;
};

const ProblemRow& rowOf(ProblemKind kind);

} // namespace kestrave
