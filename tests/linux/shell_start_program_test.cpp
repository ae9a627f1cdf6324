// Starting programs from a command line: the split into program and argument,
// and real programs started on the search path, the desktop's handler among
// them. Stand-in programs on a search path set by the test write down the
// arguments they were given.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "linux_test_support.h"
#include "platform/linux/desktop_open.h"
#include "shell_tray_host.h"

namespace gimbalo {
namespace {

using testing::ScopedEnv;
using testing::WaitUntil;

TEST(DesktopUrl, TellsFilesFromWebAddresses) {
    struct Case {
        std::string target;
        QUrl expected;
    };
    const Case cases[] = {
        {"https://example.org/page?x=1", QUrl("https://example.org/page?x=1")},
        {"mailto:someone@example.org", QUrl("mailto:someone@example.org")},
        {"www.example.org", QUrl("http://www.example.org")},
        {"/opt/gimbalo/Leggere prima dell'uso.txt",
         QUrl::fromLocalFile("/opt/gimbalo/Leggere prima dell'uso.txt")},
        {"/tmp/è.txt", QUrl::fromLocalFile(QString::fromUtf8("/tmp/è.txt"))},
        {"", QUrl()},
    };
    for (const Case& c : cases) EXPECT_EQ(DesktopUrl(c.target), c.expected) << c.target;
}

// Stand-ins for a program and for the desktop's handler, xdg-open. Each
// writes the number of its arguments and then each argument on a line, into
// the file named by GIMBALO_TEST_OUT, all at once.
class StartProgram : public ::testing::Test {
protected:
    void SetUp() override {
        testing::StartOnDisplay(platform_);
        if (!platform_) return;
        ASSERT_TRUE(bin_.isValid());
        for (const char* name : {"gimbalo-test-echo", "xdg-open"}) {
            QFile script(bin_.filePath(name));
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(
                "#!/bin/sh\n"
                "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } "
                "> \"$GIMBALO_TEST_OUT.part\" && mv \"$GIMBALO_TEST_OUT.part\" "
                "\"$GIMBALO_TEST_OUT\"\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        out_ = bin_.filePath("out").toStdString();
    }

    // The arguments the stand-in was started with, once it has written them.
    std::optional<QStringList> Arguments() {
        if (!WaitUntil([this] { return QFile::exists(QString::fromStdString(out_)); })) return {};
        QFile file(QString::fromStdString(out_));
        if (!file.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        file.close();
        file.remove();
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        if (lines.isEmpty() || lines.takeFirst().toInt() != lines.size()) return {};
        return lines;
    }

    std::string Path() const { return bin_.path().toStdString() + ":/usr/bin:/bin"; }

    std::unique_ptr<testing::TestPlatform> platform_;
    QTemporaryDir bin_;
    std::string out_;
};

TEST_F(StartProgram, AProgramGetsTheRestOfTheLineAsOneArgument) {
    ScopedEnv path("PATH", Path());
    ScopedEnv out("GIMBALO_TEST_OUT", out_);
    struct Case {
        const char* line;
        QStringList expected;
    };
    const Case cases[] = {
        {"gimbalo-test-echo \"/tmp/a folder/Leggere prima dell'uso.txt\"",
         {"/tmp/a folder/Leggere prima dell'uso.txt"}},
        {"gimbalo-test-echo /tmp/two words", {"/tmp/two words"}},
        // Shell syntax stays plain text: nothing is run by a shell.
        {"gimbalo-test-echo x; touch injected $(id) `id`", {"x; touch injected $(id) `id`"}},
        {"gimbalo-test-echo", {}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(platform_->StartProgram(c.line, SW_SHOWMAXIMIZED)) << c.line;
        EXPECT_EQ(Arguments(), std::optional<QStringList>(c.expected)) << c.line;
    }
    EXPECT_FALSE(QFile::exists("injected"));
}

TEST_F(StartProgram, ExplorerOpensAddressesAndFilesWithTheDesktopsHandler) {
    ScopedEnv path("PATH", Path());
    ScopedEnv out("GIMBALO_TEST_OUT", out_);
    const std::string document = bin_.filePath("Leggere prima dell'uso.txt").toStdString();
    struct Case {
        std::string line;
        QUrl expected;
    };
    const Case cases[] = {
        {"explorer https://example.org/donate?a=1&b=2", QUrl("https://example.org/donate?a=1&b=2")},
        {"Explorer \"" + document + "\"", QUrl::fromLocalFile(QString::fromStdString(document))},
        {"Explorer " + document, QUrl::fromLocalFile(QString::fromStdString(document))},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(platform_->StartProgram(c.line, SW_SHOWNORMAL)) << c.line;
        const std::optional<QStringList> arguments = Arguments();
        ASSERT_TRUE(arguments.has_value()) << c.line;
        ASSERT_EQ(arguments->size(), 1) << c.line;
        EXPECT_EQ(QUrl(arguments->front()), c.expected) << c.line;
    }
}

TEST_F(StartProgram, WhatCannotBeStartedReturnsFalse) {
    // A search path with neither the program nor any handler on it.
    QTemporaryDir empty;
    ScopedEnv path("PATH", empty.path().toStdString());
    ScopedEnv browser("BROWSER", "");
    ScopedEnv defaultBrowser("DEFAULT_BROWSER", "");
    for (const char* line :
         {"gimbalo-no-such-program x", "explorer https://example.org/", "explorer", ""})
        EXPECT_FALSE(platform_->StartProgram(line, SW_SHOWNORMAL)) << line;
}

}  // namespace
}  // namespace gimbalo
