#pragma once
#include <cstdint>

namespace kestrave::events {

// The event ids, as resources/Events.mc numbers them, with its severity bits (information
// 0x40000000, error 0xC0000000): one per change and verdict. The README lists them.
enum : std::uint32_t {
    kRepairDone = 0x400003E8,         // 1000
    kRepairFailed = 0xC00003E9,       // 1001
    kDisableDone = 0x400003F2,        // 1010
    kDisableFailed = 0xC00003F3,      // 1011
    kRestoreDone = 0x400003FC,        // 1020
    kRestoreFailed = 0xC00003FD,      // 1021
    kQuarantineDone = 0x40000410,     // 1040
    kQuarantineFailed = 0xC0000411,   // 1041
    kUnquarantineDone = 0x4000041A,   // 1050
    kUnquarantineFailed = 0xC000041B, // 1051
    kKeepSettingSet = 0x40000406,     // 1030
    kKeepSettingFailed = 0xC0000407,  // 1031
};

} // namespace kestrave::events
