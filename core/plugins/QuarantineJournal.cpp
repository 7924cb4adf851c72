#include "core/plugins/QuarantineJournal.h"

#include "core/plugins/PlugInNames.h"
#include "core/system/RegistryValue.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave::plugins {

namespace {
constexpr wchar_t kProcessorsFolder[] = L"Print Processors";
constexpr wchar_t kMonitorsFolder[] = L"Monitors";

RegistryData text(const std::wstring& s) {
    RegistryData d{reg::kSz, {}};
    for (const wchar_t c : s + L'\0') {
        d.bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        d.bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    return d;
}
RegistryData dword(std::uint32_t v) {
    return {reg::kDword,
            {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
             static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)}};
}
bool marked(IRegistry& r, const std::wstring& key, const wchar_t* name) {
    std::uint32_t v = 0;
    return readRegistryDword(r, key, name, v) == 0 && v == 1;
}

// Security descriptors by the key's path below the copied one ("" for that one itself).
void gatherSecurity(const RegistryKeyCopy& key, const std::wstring& below,
                    std::vector<std::pair<std::wstring, RegistryData>>& out) {
    if (!key.security.empty()) {
        out.emplace_back(below, RegistryData{reg::kBinary, key.security});
    }
    for (const RegistryKeyCopy& sub : key.subkeys) {
        gatherSecurity(sub, below.empty() ? sub.name : below + L"\\" + sub.name, out);
    }
}
void applySecurity(RegistryKeyCopy& key, const std::wstring& below,
                   const std::vector<std::pair<std::wstring, RegistryData>>& kept) {
    key.security.clear();
    for (const auto& [path, data] : kept) {
        if (sameName(path, below)) {
            key.security = data.bytes;
        }
    }
    for (RegistryKeyCopy& sub : key.subkeys) {
        applySecurity(sub, below.empty() ? sub.name : below + L"\\" + sub.name, kept);
    }
}

QuarantineEntry readEntry(IRegistry& r, PlugInKind kind, const std::wstring& name) {
    QuarantineEntry e;
    e.kind = kind;
    e.name = name;
    e.entry = entryKey(kind, name);
    e.place = readText(r, e.entry, L"Place");
    e.by = readText(r, e.entry, L"By");
    RegistryData when;
    if (r.readMachineValue(e.entry, L"When", when) == 0 && when.type == reg::kQword &&
        when.bytes.size() == 8) {
        for (int i = 7; i >= 0; --i) {
            e.when = (e.when << 8) | when.bytes[static_cast<std::size_t>(i)];
        }
    }
    e.complete = marked(r, e.entry, kComplete);
    e.moved = marked(r, e.entry, kMoved);
    e.restoring = marked(r, e.entry, kRestoring);
    e.restored = marked(r, e.entry, kRestored);
    RegistryData ignored;
    std::vector<std::wstring> sub;
    e.liveKeyThere = !e.place.empty() && r.machineSubKeys(e.place, sub) == 0;
    std::vector<std::wstring> printers;
    r.machineSubKeys(e.entry + L"\\Printers", printers);
    for (const std::wstring& n : printers) {
        const std::wstring key = e.entry + L"\\Printers\\" + n;
        e.printers.push_back({readText(r, key, L"Name"), readText(r, key, L"Print Processor"),
                              readText(r, key, L"Datatype")});
    }
    return e;
}
} // namespace

std::wstring readText(IRegistry& r, const std::wstring& key, const wchar_t* name) {
    RegistryText t;
    return readRegistryText(r, key, name, t) == 0 ? t.text : std::wstring{};
}

std::wstring entryKey(PlugInKind kind, const std::wstring& name) {
    return std::wstring(kQuarantineKey) + L"\\" +
           (kind == PlugInKind::Processor ? kProcessorsFolder : kMonitorsFolder) + L"\\" + name;
}

std::vector<QuarantineEntry> readQuarantine(IRegistry& registry) {
    std::vector<QuarantineEntry> out;
    for (const PlugInKind kind : {PlugInKind::Processor, PlugInKind::Monitor}) {
        std::vector<std::wstring> names;
        const std::wstring folder = std::wstring(kQuarantineKey) + L"\\" +
                                    (kind == PlugInKind::Processor ? kProcessorsFolder
                                                                   : kMonitorsFolder);
        if (registry.machineSubKeys(folder, names) != 0) {
            continue;
        }
        for (const std::wstring& name : names) {
            out.push_back(readEntry(registry, kind, name));
        }
    }
    return out;
}

RegistryKeyCopy entryCopy(const QuarantineEntry& e, const RegistryKeyCopy& live) {
    RegistryKeyCopy entry;
    entry.name = e.name;
    RegistryData when{reg::kQword, {}};
    for (int i = 0; i < 8; ++i) {
        when.bytes.push_back(static_cast<std::uint8_t>(e.when >> (8 * i)));
    }
    entry.values = {{L"Place", text(e.place)}, {L"When", when}, {L"By", text(e.by)}};
    RegistryKeyCopy key = live;
    key.name = L"Key";
    RegistryKeyCopy security;
    security.name = L"Security";
    gatherSecurity(live, L"", security.values);
    RegistryKeyCopy printers;
    printers.name = L"Printers";
    for (std::size_t i = 0; i < e.printers.size(); ++i) {
        const PrinterUse& p = e.printers[i];
        printers.subkeys.push_back({decimal(i),
                                    {{L"Name", text(p.printer)},
                                     {L"Print Processor", text(p.processor)},
                                     {L"Datatype", text(p.datatype)}},
                                    {},
                                    {}});
    }
    entry.subkeys = {std::move(key), std::move(security), std::move(printers)};
    return entry;
}

std::uint32_t liveCopyOf(IRegistry& registry, const QuarantineEntry& e, RegistryKeyCopy& out) {
    RegistryKeyCopy key;
    if (const std::uint32_t code = registry.readMachineKey(e.entry + L"\\Key", key); code != 0) {
        return code;
    }
    RegistryKeyCopy security;
    if (const std::uint32_t code = registry.readMachineKey(e.entry + L"\\Security", security);
        code != 0) {
        return code;
    }
    applySecurity(key, L"", security.values);
    key.name = e.place;
    out = std::move(key);
    return 0;
}

std::uint32_t markEntry(IRegistry& registry, const QuarantineEntry& e, const wchar_t* mark) {
    return registry.writeMachineValue(e.entry, mark, dword(1));
}

std::uint32_t pointPrinters(IRegistry& registry, const std::vector<PrinterUse>& printers,
                            const std::wstring& plugIn, bool away, std::vector<std::wstring>* left) {
    std::vector<const PrinterUse*> done;
    const auto point = [&](const PrinterUse& p, bool toWinprint) {
        const std::wstring key = std::wstring(kPrintersKey) + L"\\" + p.printer;
        const std::uint32_t first = registry.writeMachineValue(
            key, L"Print Processor", text(toWinprint ? kWindowsProcessor : p.processor));
        return first != 0 ? first
                          : registry.writeMachineValue(
                                key, L"Datatype", text(toWinprint ? kRawDatatype : p.datatype));
    };
    for (const PrinterUse& p : printers) {
        const std::wstring key = std::wstring(kPrintersKey) + L"\\" + p.printer;
        const std::wstring now = readText(registry, key, L"Print Processor");
        // Changed by someone meanwhile, or gone: theirs now.
        if (!sameName(now, away ? plugIn : std::wstring(kWindowsProcessor))) {
            if (left != nullptr) {
                left->push_back(p.printer);
            }
            continue;
        }
        if (const std::uint32_t code = point(p, away); code != 0) {
            point(p, !away);
            for (const PrinterUse* back : done) {
                point(*back, !away);
            }
            return code;
        }
        done.push_back(&p);
    }
    return 0;
}

void settleQuarantine(IRegistry& registry, std::vector<Problem>& notes) {
    for (QuarantineEntry& e : readQuarantine(registry)) {
        if (!e.complete) {
            // Its live key was never touched: the copy alone goes.
            if (registry.deleteMachineKey(e.entry) == 0) {
                notes.push_back({ProblemKind::QuarantineDropped, 0, e.name});
            }
        } else if (e.restored) {
            if (registry.deleteMachineKey(e.entry) == 0) {
                notes.push_back({ProblemKind::QuarantineFinished, 0, e.name});
            }
        } else if (!e.restoring && !e.moved) {
            // Copied whole, not yet taken out (or taken out in part): taken out now.
            pointPrinters(registry, e.printers, e.name, true, nullptr);
            const std::uint32_t gone = e.liveKeyThere ? registry.deleteMachineKey(e.place) : 0;
            if (gone == 0 && markEntry(registry, e, kMoved) == 0) {
                notes.push_back({ProblemKind::QuarantineFinished, 0, e.name});
            }
        }
        // A restore that stopped half way, or a plug-in installed again: the diagnosis names
        // them, and nothing here guesses which way they should go.
    }
}

} // namespace kestrave::plugins
