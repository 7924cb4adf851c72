#pragma once
#include "core/diagnosis/Diagnosis.h"

namespace kestrave::plugins {

// The diagnosis's section of what Kestrave took out of the spooler, and of anything a
// cut-short change left there.
ReportSection quarantineSection(IRegistry& registry, const IStringTable& strings);

} // namespace kestrave::plugins
