// The program's tables against what they name: every operation's and problem's texts are in
// every block of the real string table, their names are distinct, and every language the
// table speaks has its block in the resource script and its Group Policy texts.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "core/spooler/Operations.h"
#include "core/spooler/Problems.h"
#include "core/text/Languages.h"
#include "tests/fakes/FakeStringTable.h"

using namespace kestrave;

namespace {

TEST(Tables, EveryOperationAndProblemIsNamedOnceAndSaidInEveryLanguage) {
    const fake::FakeStringTable table;
    std::set<std::string> names;
    const auto said = [&](int id, const std::string& what) {
        ASSERT_NE(id, 0) << what;
        for (const std::uint16_t block : table.blocks()) {
            EXPECT_FALSE(table.textIn(block, id).empty()) << what << " in block " << block;
        }
    };
    for (int i = 0; i <= static_cast<int>(kLastOperation); ++i) {
        const OperationRow& row = rowOf(static_cast<Operation>(i));
        EXPECT_TRUE(names.insert(std::string("operation ") + row.name).second) << row.name;
        for (const int id : {row.doneLine, row.failedLine, row.cliDone, row.cliFailed}) {
            said(id, row.name);
        }
        EXPECT_NE(row.eventDone & 0xC0000000u, row.eventFailed & 0xC0000000u) << row.name;
    }
    std::size_t wrongNames = 0;
    for (int i = 0; i <= static_cast<int>(kLastProblemKind); ++i) {
        const ProblemRow& row = rowOf(static_cast<ProblemKind>(i));
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        said(row.text, row.name);
        if (row.textUnlessRepair != 0) {
            said(row.textUnlessRepair, row.name);
        }
        wrongNames += row.wrongName ? 1 : 0;
    }
    EXPECT_EQ(wrongNames, 2u) << "no plug-in of that name, nothing of that name quarantined";
}

TEST(Tables, EveryLanguageHasItsBlockAndItsPolicyTexts) {
    std::ifstream in(std::string(KESTRAVE_SOURCE_DIR) + "/resources/Strings.rc");
    const std::string script((std::istreambuf_iterator<char>(in)), {});
    std::set<std::string_view> locales;
    std::set<std::uint16_t> blocks;
    for (const lang::Language& l : lang::all()) {
        EXPECT_TRUE(locales.insert(l.locale).second) << l.locale;
        EXPECT_TRUE(blocks.insert(l.block).second) << l.block;
        EXPECT_NE(script.find("LANGUAGE " + std::string(l.script)), std::string::npos)
            << l.script;
        const std::string adml = std::string(KESTRAVE_SOURCE_DIR) + "/packaging/policy/" +
                                 std::string(l.locale) + "/Kestrave.adml";
        EXPECT_TRUE(std::ifstream(adml).good()) << adml;
    }
    EXPECT_EQ(lang::all().back().primary, 0) << "the fallback row comes last";
}

} // namespace
