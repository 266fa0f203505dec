// The desktop's programs: running one for its output, and whether pages go to
// the desktop's opener or to the program's own help viewer.
#include "platform/desktop_programs.h"

#include <gtest/gtest.h>

namespace {

// A desktop as the probe sees it: whether xdg-open is installed and what
// xdg-mime answers for web pages (nullptr: xdg-mime fails).
DesktopProbe Desktop(bool xdgOpen, const char* htmlDefault, std::vector<std::string>* asked) {
    DesktopProbe probe;
    probe.IsInstalled = [xdgOpen](const std::string& program) { return program == "xdg-open" && xdgOpen; };
    probe.Run = [htmlDefault, asked](const std::vector<std::string>& command, std::string& output) {
        asked->insert(asked->end(), command.begin(), command.end());
        output = htmlDefault ? htmlDefault : "";
        return htmlDefault != nullptr;
    };
    return probe;
}

TEST(DesktopPrograms, TheOpenerIsUsedOnlyWhereItHasAProgramForWebPages) {
    std::vector<std::string> asked;
    EXPECT_TRUE(UseDesktopOpener(Desktop(true, "firefox.desktop\n", &asked)));
    EXPECT_EQ(asked, (std::vector<std::string>{"xdg-mime", "query", "default", "text/html"}));
    EXPECT_FALSE(UseDesktopOpener(Desktop(true, "\n", &asked)));  // xdg-open would start and find nothing
    EXPECT_FALSE(UseDesktopOpener(Desktop(true, nullptr, &asked)));
    asked.clear();
    // Without xdg-open the toolkit's own opener reports its failures itself.
    EXPECT_TRUE(UseDesktopOpener(Desktop(false, nullptr, &asked)));
    EXPECT_TRUE(asked.empty());
}

TEST(DesktopPrograms, RunForOutputReportsTheOutputAndTheExitStatus) {
    std::string output;
    EXPECT_TRUE(RunForOutput({"sh", "-c", "printf 'one\\ntwo'; echo noise >&2"}, output));
    EXPECT_EQ(output, "one\ntwo");
    EXPECT_FALSE(RunForOutput({"sh", "-c", "echo partial; exit 3"}, output));
    EXPECT_FALSE(RunForOutput({"gw-no-such-program-here"}, output));
    EXPECT_FALSE(RunForOutput({}, output));
    EXPECT_TRUE(RunQuietly({"true"}));
    EXPECT_TRUE(IsProgramOnPath("sh"));
    EXPECT_FALSE(IsProgramOnPath("gw-no-such-program-here"));
    EXPECT_FALSE(IsProgramOnPath("/bin/sh"));
}

}  // namespace
