#include "core/plugins/PlugInQuarantine.h"

#include "core/plugins/PlugInNames.h"
#include "core/service/ServiceNames.h"
#include "core/system/RegistryValue.h"
#include "platform/SystemError.h"

namespace kestrave::plugins {

bool PlugInQuarantine::admissible(Outcome& outcome, LivePlugIn& live, QuarantineEntry& entry) {
    const std::wstring& name = request_.name;
    if (request_.putBack) {
        for (QuarantineEntry& e : readQuarantine(world_.registry)) {
            if (sameName(e.name, name) && e.complete) {
                entry = e;
            }
        }
        if (entry.entry.empty()) {
            outcome.problems.push_back({ProblemKind::PlugInNotQuarantined, 0, name});
            return false;
        }
        outcome.plugIn = entry.name;
        if (entry.liveKeyThere && !entry.restoring) {
            outcome.problems.push_back({ProblemKind::PlugInReinstalled, 0, entry.name});
            return false;
        }
        return true;
    }
    if (isWindowsOwn(name)) {
        outcome.problems.push_back({ProblemKind::PlugInWindowsOwn, 0, name});
        return false;
    }
    live = findPlugIn(world_.registry, sources_, name);
    if (!live.found) {
        outcome.problems.push_back({ProblemKind::PlugInUnknown, 0, name});
        return false;
    }
    outcome.plugIn = live.name;
    if (!request_.force && !live.file.empty() &&
        claimsSystemMaker(sources_.systemFile(live.file).company, sources_.systemMaker())) {
        outcome.problems.push_back({ProblemKind::PlugInClaimsMicrosoft, 0, live.name});
        return false;
    }
    return true;
}

void PlugInQuarantine::takeOut(const LivePlugIn& live, Outcome& outcome) {
    steps_.observer().step(Step::MovingPlugIn, 0, 0);
    IRegistry& r = world_.registry;
    RegistryKeyCopy copy;
    QuarantineEntry e;
    e.kind = live.kind;
    e.name = live.name;
    e.entry = entryKey(live.kind, live.name);
    e.place = live.key;
    e.when = world_.files.now();
    e.by = log_.account();
    if (live.kind == PlugInKind::Processor) {
        e.printers = printersUsing(r, live.name);
    }
    const std::vector<std::wstring> waiting =
        printersWaitingFor(r, sources_.spoolerEnvironment(), live);
    const auto failed = [&](std::uint32_t code) {
        outcome.problems.push_back({ProblemKind::PlugInNotMoved, code, live.name});
    };
    if (const std::uint32_t code = r.readMachineKey(live.key, copy); code != 0) {
        return failed(code);
    }
    if (const std::uint32_t code = r.createMachineKey(e.entry, entryCopy(e, copy), false);
        code != 0) {
        return failed(code);
    }
    if (const std::uint32_t code = markEntry(r, e, kComplete); code != 0) {
        r.deleteMachineKey(e.entry);
        return failed(code);
    }
    std::vector<std::wstring> left;
    if (const std::uint32_t code = pointPrinters(r, e.printers, live.name, true, &left);
        code != 0) {
        r.deleteMachineKey(e.entry);
        return failed(code);
    }
    if (const std::uint32_t code = r.deleteMachineKey(live.key); code != 0) {
        // Set back as it was: what the deletion left, and the copy over the rest.
        RegistryKeyCopy now;
        const bool untouched = r.readMachineKey(live.key, now) == 0 && now.values == copy.values &&
                               now.subkeys.size() == copy.subkeys.size();
        if (!untouched) {
            r.deleteMachineKey(live.key);
            if (r.createMachineKey(live.key, copy, true) != 0) {
                // Half gone: the journal is left complete, and the next run finishes it.
                outcome.problems.push_back({ProblemKind::PlugInNotUndone, code, live.name});
                return;
            }
        }
        pointPrinters(r, e.printers, live.name, false, nullptr);
        r.deleteMachineKey(e.entry);
        return failed(code);
    }
    markEntry(r, e, kMoved); // where this fails, the next run sees the live key gone and marks it
    for (const PrinterUse& p : e.printers) {
        bool skipped = false;
        for (const std::wstring& l : left) {
            skipped = skipped || l == p.printer;
        }
        if (!skipped) {
            outcome.notes.push_back({ProblemKind::PrinterRepointed, 0, p.printer});
        }
    }
    for (const std::wstring& w : waiting) {
        outcome.notes.push_back({ProblemKind::PrinterWaiting, 0, w});
    }
}

void PlugInQuarantine::putBack(const QuarantineEntry& e, Outcome& outcome) {
    steps_.observer().step(Step::RestoringPlugIn, 0, 0);
    IRegistry& r = world_.registry;
    const auto failed = [&](std::uint32_t code) {
        outcome.problems.push_back({ProblemKind::PlugInNotPutBack, code, e.name});
    };
    RegistryKeyCopy live;
    if (const std::uint32_t code = liveCopyOf(r, e, live); code != 0) {
        return failed(code);
    }
    if (const std::uint32_t code = markEntry(r, e, kRestoring); code != 0) {
        return failed(code);
    }
    const auto undo = [&](std::uint32_t code) {
        r.deleteMachineKey(e.place);
        r.deleteMachineValue(e.entry, kRestoring);
        failed(code);
    };
    if (e.restoring && e.liveKeyThere) {
        // This program's own half-written copy, from a restore that was cut short.
        if (const std::uint32_t code = r.deleteMachineKey(e.place); code != 0) {
            return failed(code);
        }
    }
    if (const std::uint32_t code = r.createMachineKey(e.place, live, true); code != 0) {
        r.deleteMachineValue(e.entry, kRestoring);
        return failed(code);
    }
    std::vector<std::wstring> left;
    if (const std::uint32_t code = pointPrinters(r, e.printers, e.name, false, &left); code != 0) {
        return undo(code);
    }
    if (const std::uint32_t code = markEntry(r, e, kRestored); code != 0) {
        pointPrinters(r, e.printers, e.name, true, nullptr);
        return undo(code);
    }
    r.deleteMachineKey(e.entry); // where this fails, the next run removes it
    for (const PrinterUse& p : e.printers) {
        bool changed = false;
        for (const std::wstring& l : left) {
            changed = changed || l == p.printer;
        }
        outcome.notes.push_back(
            {changed ? ProblemKind::PrinterLeft : ProblemKind::PrinterPointedBack, 0, p.printer});
    }
}

Outcome PlugInQuarantine::runHeld() {
    Outcome outcome;
    if (const std::uint32_t code = world_.registry.secureMachineKey(kQuarantineKey); code != 0) {
        outcome.problems.push_back({ProblemKind::QuarantineUnsafe, code, request_.name});
        return outcome;
    }
    settleQuarantine(world_.registry, outcome.notes);
    LivePlugIn live;
    QuarantineEntry entry;
    if (!admissible(outcome, live, entry)) {
        return outcome;
    }
    // Nothing moves while the spooler still holds the plug-in loaded.
    whileStopped(outcome, [&] { request_.putBack ? putBack(entry, outcome) : takeOut(live, outcome); });
    return outcome;
}

} // namespace kestrave::plugins
