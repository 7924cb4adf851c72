#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "platform/win32/Win32Api.h"

#include <objbase.h>
#include "tests/common/Win32TestHelpers.h"
#include "tests/wine/StandInConsole.h"

// The test program doubles as the child programs some tests start:
//   --exit N     ends at once with exit code N
//   --sleep MS   sleeps, then ends with 0
// and, copied under the name sc.exe, it leaves a marker file beside itself; copied as mmc.exe,
// it is a console window that stays open.
int main(int argc, char** argv) {
    if (kestrave::testhelp::actAsPlantedSc() || kestrave::test::actAsStandInConsole()) {
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "--exit") {
        return static_cast<int>(std::strtoul(argv[2], nullptr, 10));
    }
    if (argc >= 3 && std::string(argv[1]) == "--sleep") {
        ::Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
        return 0;
    }
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
