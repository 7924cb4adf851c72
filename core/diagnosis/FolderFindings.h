#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/diagnosis/Diagnosis.h"

namespace kestrave {

// The spool folder section: where the spooler's queue is (or why it is not cleared), and
// what waits in it; files older than a day are a problem while the spooler runs.
ReportSection spoolFolderSection(DiagnosisWorld& world, const IStringTable& strings,
                                 std::uint32_t spoolerState);

// A printer's own queue folder (SpoolDirectory under its key), when it has one: missing, a
// link, or its files. Reported only: the repair clears the spooler's own folder alone.
void printerOwnFolder(DiagnosisWorld& world, const IStringTable& strings,
                      const std::wstring& printer, std::vector<Finding>& out);

} // namespace kestrave
