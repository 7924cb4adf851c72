#pragma once
#include "core/keep/KeepSettings.h"
#include "core/spooler/SpoolFolder.h"

namespace kestrave {

// How a repair treats the queue it clears: whether to keep, by the settings and the run's
// own request, and once the queue is listed, where to (or, with a note, why not after all).
// Every repair first prunes the kept repairs past their bounds, keeping or not.
class QueueKeeping {
  public:
    QueueKeeping(IFileSystem& files, KeepSettings settings, KeepRequest request);
    bool keeps() const { return keep_; }
    // Deletes kept repairs past their bounds, where the folder of kept jobs exists (a
    // repair that only deletes makes none). Notes what it could not remove.
    void prune(std::vector<Problem>& notes);
    // The choice clearQueue calls once it has listed the queue.
    KeepChoice choice();

  private:
    KeepTarget decide(IOpenFolder& queue, const std::vector<FileEntry>& entries);

    IFileSystem& files_;
    KeepSettings settings_;
    bool keep_;
};

} // namespace kestrave
