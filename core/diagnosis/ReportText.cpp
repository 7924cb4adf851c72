// The report as text: problems first, then each section with its findings marked.
#include <algorithm>

#include "core/diagnosis/Diagnosis.h"
#include "resources/StringIds.h"

namespace kestrave {

std::size_t Report::problems() const {
    std::size_t n = 0;
    for (const ReportSection& s : sections) {
        n += static_cast<std::size_t>(
            std::count_if(s.findings.begin(), s.findings.end(),
                          [](const Finding& f) { return f.kind == Finding::Kind::Problem; }));
    }
    return n;
}

std::vector<std::wstring> Report::lines(const IStringTable& strings) const {
    std::vector<std::wstring> out{strings.text(IDS_DX_TITLE), L""};
    if (problems() == 0) {
        out.push_back(strings.text(IDS_DX_NO_PROBLEMS));
    } else {
        out.push_back(strings.text(IDS_DX_PROBLEMS));
        for (const bool first : {true, false}) {
            for (const ReportSection& s : sections) {
                for (const Finding& f : s.findings) {
                    if (s.first == first && f.kind == Finding::Kind::Problem) {
                        out.push_back(L"  [!] " + f.text);
                    }
                }
            }
        }
    }
    for (const ReportSection& s : sections) {
        out.push_back(L"");
        out.push_back(strings.text(s.title));
        for (const Finding& f : s.findings) {
            const wchar_t* mark = f.kind == Finding::Kind::Problem ? L"  [!] "
                                  : f.kind == Finding::Kind::Note  ? L"  [i] "
                                                                   : L"  ";
            out.push_back(mark +
                          (f.kind == Finding::Kind::Note ? strings.text(IDS_DX_NOTE_MARK) : L"") +
                          f.text);
        }
    }
    return out;
}

} // namespace kestrave
