// The C++ runtime's default answer to an exception nobody caught prints its type, demangled,
// to a console this windowed program does not have; the demangler alone is some 45 KB of the
// program. Every exception is caught at the window-procedure boundary and at the entry point
// and handed to the program's error treatment, so reaching this is a fault: end at once, as
// the default does after printing.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
