// Prints the name of every language the program speaks, one a line, as its Group Policy texts'
// folder is named: the release and its checks take the templates by the language table.
#include "core/text/Languages.h"

#include <cstdio>

int main() {
    for (const kestrave::lang::Language& language : kestrave::lang::all()) {
        std::printf("%.*s\n", static_cast<int>(language.locale.size()), language.locale.data());
    }
    return 0;
}
