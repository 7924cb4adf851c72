#pragma once
#include <vector>

#include "core/keep/QueuedJobs.h"
#include "core/spooler/Operation.h"
#include "platform/IEventLoop.h"

namespace kestrave {

struct JobReturn {
    std::vector<QueuedJob> returned; // the jobs now back in the queue
    std::size_t left = 0;            // files still in the kept folder
    std::vector<Problem> problems;
};

// Moves the kept jobs back into the queue, a job at a time: all of a job's files go back, or
// none does (a file that fails takes those moved before it back out; one that cannot be taken
// out again is a problem of its own). A job with a file of the same name already in the queue
// is skipped whole and said. The window keeps answering.
JobReturn returnJobs(IOpenFolder& kept, IOpenFolder& queue, IEventLoop& events,
                     IOperationObserver& observer);

} // namespace kestrave
