#include "core/help_launcher.h"

#include <cerrno>
#include <filesystem>

#include "platform/file_system.h"
#include "platform/help_links.h"
#include "platform/scripted_prompts.h"
#include "tests/core/core_test_support.h"

namespace {

class HelpLauncherTest : public AppStateTest {
protected:
    TempFolder program;
    ScriptedPrompts prompts;
    ScopedPrompts scope{prompts};
};

TEST_F(HelpLauncherTest, OpensTheTopicsPageInTheProgramFolder) {
    program.Write("gtwrhelp/m_settings.htm", "<html></html>");
    gAppPath = program.Path();
    ShowHelpTopic("m_settings");
    EXPECT_TRUE(prompts.Messages.empty());
    ASSERT_EQ(prompts.ShellOpened.size(), 1u);
    EXPECT_EQ(prompts.ShellOpened[0], program / "gtwrhelp/m_settings.htm");
}

TEST_F(HelpLauncherTest, WithoutADesktopOpenerThePageIsShownByTheProgram) {
    program.Write("gtwrhelp/m_settings.htm", "<html></html>");
    gAppPath = program.Path();
    prompts.ShellOpenResults = {false};
    ShowHelpTopic("m_settings");
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(prompts.HelpPagesShown, std::vector<std::string>{program / "gtwrhelp/m_settings.htm"});

    // Nothing that can show it: the user is told instead of nothing happening.
    prompts.ShellOpenResults = {false};
    struct NoViewer final : Prompts {
        ScriptedPrompts& inner;
        explicit NoViewer(ScriptedPrompts& p) : inner(p) {}
        MsgResult MessageBox(const std::string& t, const std::string& c, MsgButtons b, MsgIcon i) override {
            return inner.MessageBox(t, c, b, i);
        }
        bool FileDialog(FileDialogRequest& r) override { return inner.FileDialog(r); }
        bool ShellOpen(const std::string& t) override { return inner.ShellOpen(t); }
    } noViewer(prompts);
    {
        ScopedPrompts inner(noViewer);
        ShowHelpTopic("m_settings");
    }
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Could Not Open the Help Page!\r\n" + (program / "gtwrhelp/m_settings.htm"));
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");

    // A page larger than the viewer reads: the message says so.
    std::filesystem::resize_file(program / "gtwrhelp/m_settings.htm", fsys::kHelpPage.MostBytes + 1);
    prompts.ShellOpenResults = {false};
    {
        ScopedPrompts inner(noViewer);
        ShowHelpTopic("m_settings");
    }
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Text, "Could Not Open the Help Page!\r\n" + (program / "gtwrhelp/m_settings.htm") +
                                            "\r\n" + fsys::ReadFailureReason(EFBIG, fsys::kHelpPage));
}

TEST_F(HelpLauncherTest, AMissingPageIsReportedAndNothingElseHappens) {
    gAppPath = program.Path();
    ShowHelpTopic("index");
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Help Topic Not Found!");
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompts.Messages[0].Buttons, MsgButtons::OK);
    EXPECT_TRUE(prompts.ShellOpened.empty());
    EXPECT_TRUE(prompts.HelpPagesShown.empty());
}

TEST_F(HelpLauncherTest, ThePageIsFoundFromTheProgramFolderNotTheCurrentOne) {
    program.Write("gtwrhelp/index.htm", "x");
    gAppPath = program.Path();
    TempFolder elsewhere;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());
    ShowHelpTopic("index");
    std::filesystem::current_path(old);
    ASSERT_EQ(prompts.ShellOpened.size(), 1u);
    EXPECT_EQ(prompts.ShellOpened[0], program / "gtwrhelp/index.htm");
}

TEST_F(HelpLauncherTest, AWebPageWithoutABrowserSaysSo) {
    prompts.ShellOpenResults = {true, false};
    ShowWebPage("https://example.org/forum");
    EXPECT_TRUE(prompts.Messages.empty());
    ShowWebPage("https://example.org/forum");
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text,
              "Could Not Open the Web Page!\r\nNo web browser was found to show https://example.org/forum.");
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
}

TEST_F(HelpLauncherTest, OnlyWebAndMailLinksLeaveTheHelpPages) {
    for (const char* web : {"http://example.org/a", "HTTPS://example.org/", "MailTo:help@example.org"}) {
        EXPECT_EQ(HelpLinkKind(web), HelpLink::Web) << web;
        EXPECT_TRUE(OpenOutsideHelpLink(web));
    }
    EXPECT_EQ(prompts.ShellOpened,
              (std::vector<std::string>{"http://example.org/a", "HTTPS://example.org/", "MailTo:help@example.org"}));
    EXPECT_TRUE(prompts.Messages.empty());

    const std::vector<std::string> refused = {"file:///etc/passwd", "FILE:///etc/passwd", "javascript://x%0aalert(1)",
                                              "smb://host/share", "ssh://-oProxyCommand=id/x", "c:\\x.htm",
                                              "http+x://host/"};
    for (const std::string& link : refused) {
        EXPECT_EQ(HelpLinkKind(link), HelpLink::Refused) << link;
        EXPECT_TRUE(OpenOutsideHelpLink(link));
    }
    EXPECT_EQ(prompts.ShellOpened.size(), 3u) << "nothing refused reaches the opener";
    ASSERT_EQ(prompts.Messages.size(), refused.size());
    EXPECT_EQ(prompts.Messages[4].Text, "Could Not Open the Link!\r\nThe help opens only web and mail links (http, "
                                        "https and mailto), not ssh://-oProxyCommand=id/x.");
    EXPECT_EQ(prompts.Messages[4].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[4].Icon, MsgIcon::Exclamation);

    // Pages of the help, whatever "://" or ":" their query or path holds.
    for (const char* page : {"x.htm?u=http://", "m_settings.htm#top", "#top", "/a/http://b.htm", "", ":x.htm",
                             "1http://x", "www.example.org"}) {
        EXPECT_EQ(HelpLinkKind(page), HelpLink::Page) << page;
        EXPECT_FALSE(OpenOutsideHelpLink(page));
    }
    EXPECT_EQ(prompts.Messages.size(), refused.size());
    EXPECT_EQ(prompts.ShellOpened.size(), 3u);
}

TEST_F(HelpLauncherTest, ShellOpenPassesTheTargetOn) {
    prompts.ShellOpenResults = {false};
    EXPECT_FALSE(ShellOpen("https://example.org/vortaxis"));
    EXPECT_TRUE(ShellOpen("/t/readme.txt"));
    EXPECT_EQ(prompts.ShellOpened, (std::vector<std::string>{"https://example.org/vortaxis", "/t/readme.txt"}));
}

}  // namespace
