// Command lines as the program's commands write them, and split into the
// program and its one argument as both desktops start them.
#include <gtest/gtest.h>

#include "platform/program_call.h"

namespace gimbalo {
namespace {

TEST(SplitCommandLine, SeparatesTheProgramFromItsOneArgument) {
    struct Case {
        const char* line;
        const char* program;
        const char* argument;
    };
    const Case cases[] = {
        {"explorer https://example.org/a?b=c", "explorer", "https://example.org/a?b=c"},
        {"Explorer /opt/gimbalo/License.txt", "Explorer", "/opt/gimbalo/License.txt"},
        // Unquoted blanks stay in the one argument (the translation page's path).
        {"explorer /home/a b/Invia_Traduzione.html", "explorer", "/home/a b/Invia_Traduzione.html"},
        // One pair of surrounding quotes goes.
        {"Explorer \"/home/a b/Leggere prima dell'uso.txt\"", "Explorer",
         "/home/a b/Leggere prima dell'uso.txt"},
        {"\"my tool\" \"x y\"", "my tool", "x y"},
        {"  tool    arg  ", "tool", "arg  "},
        {"tool", "tool", ""},
        {"tool \"", "tool", "\""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const ProgramCall call = SplitCommandLine(c.line);
        EXPECT_EQ(call.program, c.program) << c.line;
        EXPECT_EQ(call.argument, c.argument) << c.line;
    }
}

TEST(ExplorerCommand, QuotesAPathThatABlankOrTabWouldSplit) {
    struct Case {
        const char *word, *path, *command;
    } cases[] = {
        {"Explorer", "/opt/gimbalo/License.txt", "Explorer /opt/gimbalo/License.txt"},
        {"explorer", "/opt/my apps/page.html", "explorer \"/opt/my apps/page.html\""},
        {"Explorer", "/opt/my\tapps/License.txt", "Explorer \"/opt/my\tapps/License.txt\""},
        {"explorer", "C:\\Gimbalo\\page.html", "explorer C:\\Gimbalo\\page.html"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExplorerCommand(c.word, c.path), c.command) << c.path;
}

TEST(IsExplorer, NamesTheExplorerInAnyLetterCase) {
    for (const char* name : {"explorer", "Explorer", "EXPLORER.EXE", "explorer.exe"})
        EXPECT_TRUE(IsExplorer(name)) << name;
    for (const char* name : {"", "explore", "explorer2", "iexplorer", "explorer.com"})
        EXPECT_FALSE(IsExplorer(name)) << name;
}

}  // namespace
}  // namespace gimbalo
