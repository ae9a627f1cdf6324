// The notification-area icon as the shell sees it: the records it is handed
// and the icons it then shows.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/sim/sim_platform.h"
#include "shell/system_tray.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

constexpr int32_t kIcon = 4711;

class SystemTrayTest : public ::testing::Test {
protected:
    SystemTrayTest() : sim(folder.Path()), tray(sim) {}

    std::string Repeat(const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) text += piece;
        return text;
    }

    // The record of the icon the program adds, with the callback and all.
    void ExpectWholeRecord(const NOTIFYICONDATA& record, const std::string& tip) {
        EXPECT_EQ(record.cbSize, 88u);
        EXPECT_EQ(record.hWnd, &window);
        EXPECT_EQ(record.uID, static_cast<uint32_t>(kIcon));
        EXPECT_EQ(record.uFlags, 7u);
        EXPECT_EQ(record.uCallbackMessage, 512u);
        EXPECT_EQ(record.hIcon, kIcon);
        EXPECT_EQ(record.szTip, tip);
    }

    testing::TempFolder folder;
    SimPlatform sim;
    SystemTray tray;
    Form window{"Gimbalo"};
};

TEST_F(SystemTrayTest, AddHandsTheShellTheWholeRecordAndTheIconAppears) {
    tray.AddTrayIcon(window, kIcon, kIcon, "Animated TrayIcon");

    ASSERT_EQ(sim.trayCalls.size(), 1u);
    EXPECT_EQ(sim.trayCalls[0].message, NIM_ADD);
    ExpectWholeRecord(sim.trayCalls[0].data, "Animated TrayIcon");

    ASSERT_EQ(sim.TrayIcons().size(), 1u);
    const SimTrayIcon& icon = sim.TrayIcons()[0];
    EXPECT_EQ(icon.window, &window);
    EXPECT_EQ(icon.id, static_cast<uint32_t>(kIcon));
    EXPECT_EQ(icon.icon, kIcon);
    EXPECT_EQ(icon.tip, "Animated TrayIcon");
    EXPECT_EQ(icon.callbackMessage, static_cast<uint32_t>(WM_MOUSEMOVE));
}

TEST_F(SystemTrayTest, TipIsCutToSixtyThreeCharacters) {
    const std::string e_grave = "\xC3\xA8";  // one character, two bytes in UTF-8
    const std::string ellipsis = "\xE2\x80\xA6";
    struct Case {
        const char* what;
        bool utf8;
        std::string tip;
        std::string shown;
    } cases[] = {
        {"empty", true, "", ""},
        {"short", true, "Animated TrayIcon", "Animated TrayIcon"},
        {"63 letters", true, Repeat("a", 63), Repeat("a", 63)},
        {"64 letters", true, Repeat("a", 64), Repeat("a", 63)},
        {"100 letters", true, Repeat("b", 100), Repeat("b", 63)},
        {"40 accented letters, 80 bytes", true, Repeat(e_grave, 40), Repeat(e_grave, 40)},
        {"70 accented letters", true, Repeat(e_grave, 70), Repeat(e_grave, 63)},
        {"cut after an accented letter", true, Repeat("a", 62) + e_grave + "zz",
         Repeat("a", 62) + e_grave},
        {"cut before an ellipsis", true, Repeat("a", 63) + ellipsis, Repeat("a", 63)},
        {"four-byte character", true, Repeat("a", 62) + "\xF0\x9F\x98\x80" + "b",
         Repeat("a", 62) + "\xF0\x9F\x98\x80"},
        {"ANSI accented letters", false, Repeat("\xE8", 70), Repeat("\xE8", 63)},
        {"ANSI 63 letters", false, Repeat("a", 63), Repeat("a", 63)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim.SetTextIsUtf8(c.utf8);
        tray.AddTrayIcon(window, kIcon, kIcon, c.tip);
        EXPECT_EQ(sim.trayCalls.back().data.szTip, c.shown);
        ASSERT_EQ(sim.TrayIcons().size(), 1u);
        EXPECT_EQ(sim.TrayIcons()[0].tip, c.shown);
        tray.RemoveTrayIcon(kIcon);
        EXPECT_TRUE(sim.TrayIcons().empty());
    }
}

TEST_F(SystemTrayTest, RemoveBeforeAnyAddHandsTheShellAnEmptyRecord) {
    tray.RemoveTrayIcon(kIcon);

    ASSERT_EQ(sim.trayCalls.size(), 1u);
    EXPECT_EQ(sim.trayCalls[0].message, NIM_DELETE);
    const NOTIFYICONDATA& record = sim.trayCalls[0].data;
    EXPECT_EQ(record.cbSize, 0u);
    EXPECT_EQ(record.hWnd, nullptr);
    EXPECT_EQ(record.uID, static_cast<uint32_t>(kIcon));
    EXPECT_TRUE(sim.TrayIcons().empty());

    // The failure path of start-up removes twice and the program could still
    // add its icon afterwards.
    tray.RemoveTrayIcon(kIcon);
    tray.AddTrayIcon(window, kIcon, kIcon, "tip");
    EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

TEST_F(SystemTrayTest, RemoveKeepsWhatAddLeftAndTakesTheIconAway) {
    tray.AddTrayIcon(window, kIcon, kIcon, "tip");
    tray.RemoveTrayIcon(kIcon);

    ASSERT_EQ(sim.trayCalls.size(), 2u);
    EXPECT_EQ(sim.trayCalls[1].message, NIM_DELETE);
    ExpectWholeRecord(sim.trayCalls[1].data, "tip");
    EXPECT_TRUE(sim.TrayIcons().empty());
}

TEST_F(SystemTrayTest, RemovingTwiceOrAnotherIdentifierChangesNothingMore) {
    tray.AddTrayIcon(window, kIcon, kIcon, "tip");
    tray.RemoveTrayIcon(kIcon + 1);
    ASSERT_EQ(sim.TrayIcons().size(), 1u) << "another identifier must not take the icon";
    EXPECT_EQ(sim.TrayIcons()[0].id, static_cast<uint32_t>(kIcon));

    // The unload step removes by the stored picture and by the window's icon,
    // which are the same number.
    tray.RemoveTrayIcon(kIcon);
    tray.RemoveTrayIcon(kIcon);
    EXPECT_TRUE(sim.TrayIcons().empty());
    EXPECT_EQ(sim.trayCalls.size(), 4u);
}

// What the shell keeps, the same on every desktop (the book under each
// desktop's tray icons).
TEST_F(SystemTrayTest, TheShellKnowsIconsByWindowAndIdentifier) {
    Form other{"Other"};
    const auto record = [](Form* owner, uint32_t id, uint32_t size = 88) {
        NOTIFYICONDATA data;
        data.cbSize = size;
        data.hWnd = owner;
        data.uID = id;
        return data;
    };
    const std::tuple<const char*, uint32_t, NOTIFYICONDATA, bool> steps[] = {
        {"delete before any add", NIM_DELETE, NOTIFYICONDATA{}, false},
        {"add without size", NIM_ADD, record(&window, 9, 0), false},
        {"add without window", NIM_ADD, record(nullptr, 9), false},
        {"add", NIM_ADD, record(&window, 1), true},
        {"add the same pair", NIM_ADD, record(&window, 1), false},
        {"add another identifier", NIM_ADD, record(&window, 2), true},
        {"add the identifier for another window", NIM_ADD, record(&other, 1), true},
        {"modify: never used", NIM_MODIFY, record(&window, 1), false},
        {"delete an identifier never added", NIM_DELETE, record(&window, 3), false},
        {"delete without size", NIM_DELETE, record(&window, 9, 0), false},
        {"delete", NIM_DELETE, record(&window, 1), true},
        {"delete twice", NIM_DELETE, record(&window, 1), false},
        {"the other window keeps its icon", NIM_DELETE, record(&other, 1), true},
        {"add again after delete", NIM_ADD, record(&window, 1), true},
    };
    for (const auto& [name, message, data, expected] : steps)
        EXPECT_EQ(sim.Shell_NotifyIconA(message, data), expected) << name;

    // An unloaded window loses its icons with it.
    sim.UnloadForm(window);
    EXPECT_FALSE(sim.Shell_NotifyIconA(NIM_DELETE, record(&window, 2)));
    EXPECT_TRUE(sim.Shell_NotifyIconA(NIM_ADD, record(&window, 2)));
}

}  // namespace
}  // namespace gimbalo
