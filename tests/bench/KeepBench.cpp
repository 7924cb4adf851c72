// A repair that keeps what it clears, beside the same repair deleting it, with the window's
// answering and its count followed throughout; and a move to another file system (a copy,
// then a delete) beside deleting the same files.
#include "tests/bench/KeepBench.h"

#include <algorithm>
#include <cstdio>

#include "core/keep/KeepSettings.h"
#include "core/keep/KeptRepairs.h"
#include "core/spooler/SpoolerRepair.h"
#include "platform/win32/Win32OpenFolder.h"
#include "tests/bench/BenchSupport.h"

namespace kestrave::bench {

namespace {
// Forwards to the window's event loop, timing the longest stretch in which the window could
// not answer, and counts the progress the window was shown.
struct Watch : IEventLoop, IOperationObserver {
    explicit Watch(IEventLoop& events) : events_(events) {}
    void doEvents() override {
        tick();
        events_.doEvents();
    }
    void sleepResponsive(int ms) override {
        tick();
        events_.sleepResponsive(ms);
        last = now();
    }
    std::uint64_t milliseconds() override { return events_.milliseconds(); }
    void step(Step s, std::size_t done, std::size_t total) override {
        tick();
        counts += s == Step::ClearingQueue && total > 0 && done > 0 ? 1 : 0;
    }
    void tick() {
        const double t = now();
        longest = std::max(longest, t - last);
        last = t;
    }
    double last = now();
    double longest = 0;
    int counts = 0;

  private:
    IEventLoop& events_;
};

void emptyKept(App& app) {
    try {
        const auto kept = app.files.openKeepFolder(false);
        KeepSettings none;
        none.repairs = 0;
        std::vector<Problem> notes;
        pruneKeptRepairs(*kept, none, app.files.now(), 0, notes);
    } catch (const std::exception&) {
    }
}
} // namespace

void benchKeep(App& app, int files) {
    const char* kinds[] = {"deletes", "keeps"};
    double best[2] = {1e9, 1e9};
    double longest[2] = {0, 0};
    int counts[2] = {0, 0};
    bool ok = true;
    // Delete, keep, keep, delete: neither gets the fresher folder every time.
    for (int round = 0; round < 2; ++round) {
        for (int step = 0; step < 2; ++step) {
            const int keep = (round + step) % 2;
            setSpooler(true);
            fillQueue(files);
            writeKeepChoice(app.registry, keep == 1);
            Watch watch(app.ui);
            const double t0 = now();
            watch.last = t0;
            const Outcome o =
                SpoolerRepair({app.scm, app.registry, app.processes, app.files, watch, app.lock},
                              watch)
                    .run();
            best[keep] = std::min(best[keep], now() - t0);
            longest[keep] = std::max(longest[keep], watch.longest);
            counts[keep] = std::max(counts[keep], watch.counts);
            ok = ok && queued() == 0 && o.spoolerRunning &&
                 (keep == 1 ? o.filesKept : o.filesDeleted) == static_cast<std::size_t>(files);
            emptyKept(app);
        }
    }
    writeKeepChoice(app.registry, false);
    char what[96];
    std::snprintf(what, sizeof what, "repair of %d queued files that %s / %s", files, kinds[1],
                  kinds[0]);
    std::printf("%-58s %12.2f s %12.2f s%s\n", what, best[1], best[0],
                ok ? "" : "  (NOT ALL KEPT OR DELETED)");
    std::printf("%-58s %11.0f ms %11.0f ms\n", "  longest the window went unanswered",
                longest[1] * 1000, longest[0] * 1000);
    std::printf("%-58s %14d %14d\n", "  counts shown on the status line", counts[1], counts[0]);
}

void benchAcrossVolumes(App& app, int files) {
    // Z: is the host's root: /dev/shm there is another file system than drive C:.
    const std::wstring other =
        L"Z:\\dev\\shm\\kestrave-bench-" + std::to_wstring(::GetCurrentProcessId());
    double best[2] = {1e9, 1e9}; // 0 copy then delete, 1 delete alone
    bool ok = true;
    for (int round = 0; round < 2; ++round) {
        for (int step = 0; step < 2; ++step) {
            const int which = (round + step) % 2 == 0 ? 1 : 0;
            fillFolder(other, files);
            const auto from = win32::openFolderByHandle(other);
            const auto kept = app.files.openKeepFolder(true);
            const auto into = makeKeptFolder(*kept, app.files.now());
            const double t0 = now();
            std::vector<FileEntry> entries;
            ok = ok && from->list(entries) == 0;
            for (const FileEntry& e : entries) {
                const std::uint32_t code =
                    which == 0 ? from->moveEntryTo(e.name, *into) : from->deleteEntry(e.name);
                ok = ok && code == 0;
            }
            best[which] = std::min(best[which], now() - t0);
            ok = ok && filesIn(other) == 0 && filesIn(into->path()) == (which == 0 ? files : 0);
        }
        emptyKept(app);
    }
    ::RemoveDirectoryW(other.c_str());
    char what[96];
    std::snprintf(what, sizeof what, "%d files to another file system: copied / deleted", files);
    std::printf("%-58s %12.2f s %12.2f s%s\n", what, best[0], best[1], ok ? "" : "  (FAILED)");
}

} // namespace kestrave::bench
