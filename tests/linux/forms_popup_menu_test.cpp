// A form's popup menu on Qt: addressed by handles as the desktop's menu
// calls address it, and shown as a QMenu built from the model.
#include <QApplication>
#include <QMenu>
#include <QTimer>

#include "gui_test_support.h"
#include "platform/forms.h"

namespace gimbalo {
namespace {

constexpr uint32_t kNoItem = 0xFFFFFFFFu;

struct MenuForm : Form {
    MenuForm() : Form("frmMenu") {}
    Menu PopUp{*this, "PopUp", "Menu"};
    MenuItem mnuOpen{PopUp, "mnuOpen", "&Open"};
    MenuItem R0{PopUp, "R0", "-"};
    MenuItem mnuQuit{PopUp, "mnuQuit", "&Quit"};
};

TEST(FormsPopupMenu, HandlesReachTheModelOnlyWhileTheFormIsLoaded) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    MenuForm form;
    EXPECT_EQ(platform->GetMenu(form), 0u);  // not loaded yet
    platform->LoadForm(form);
    const MenuHandle bar = platform->GetMenu(form);
    ASSERT_NE(bar, 0u);
    const MenuHandle menu = platform->GetSubMenu(bar, 0);
    ASSERT_NE(menu, 0u);

    struct Case {
        const char* name;
        MenuHandle handle;
        int position;
        uint32_t id;
    };
    const Case ids[] = {
        {"first item", menu, 0, form.mnuOpen.CommandId()},
        {"separator", menu, 1, form.R0.CommandId()},
        {"last item", menu, 2, form.mnuQuit.CommandId()},
        {"past the end", menu, 3, kNoItem},
        {"negative", menu, -1, kNoItem},
        {"the bar is no menu", bar, 0, kNoItem},
        {"made-up handle", menu + 1, 0, kNoItem},
    };
    for (const Case& c : ids)
        EXPECT_EQ(platform->GetMenuItemID(c.handle, c.position), c.id) << c.name;
    EXPECT_EQ(platform->GetSubMenu(bar, 1), 0u);
    EXPECT_EQ(platform->GetSubMenu(menu, 0), 0u);

    // By command on the bar (flags without MF_BYPOSITION), by position on
    // the menu.
    EXPECT_TRUE(
        platform->SetMenuItemBitmaps(bar, form.mnuQuit.CommandId(), kMenuItemByCommand, 7, 7));
    EXPECT_EQ(form.mnuQuit.PictureHandle(), 7);
    EXPECT_TRUE(platform->SetMenuItemBitmaps(menu, 0, MF_BYPOSITION, 9, 9));
    EXPECT_EQ(form.mnuOpen.PictureHandle(), 9);
    EXPECT_FALSE(platform->SetMenuItemBitmaps(bar, 999, 0, 5, 5));
    EXPECT_FALSE(platform->SetMenuItemBitmaps(menu, 3, MF_BYPOSITION, 5, 5));

    platform->UnloadForm(form);
    EXPECT_EQ(platform->GetSubMenu(bar, 0), 0u);
    EXPECT_EQ(platform->GetMenuItemID(menu, 0), kNoItem);
    EXPECT_FALSE(
        platform->SetMenuItemBitmaps(bar, form.mnuQuit.CommandId(), kMenuItemByCommand, 7, 7));
}

TEST(FormsPopupMenu, TheShownMenuFollowsTheModelAndAChoiceRunsAfterItCloses) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    MenuForm form;
    platform->LoadForm(form);
    form.mnuOpen.SetEnabled(false);
    form.mnuQuit.SetCaption("E&xit now");
    bool menuOpenWhenChosen = true;
    int chosen = 0;
    form.mnuQuit.Click = [&] {
        ++chosen;
        menuOpenWhenChosen = QApplication::activePopupWidget() != nullptr;
    };
    form.mnuOpen.Click = [&] { ++chosen; };

    std::vector<std::tuple<std::string, std::string, bool, bool>> shown;
    QTimer driver;
    const auto deadline = std::chrono::steady_clock::now() + testing::kDeadline;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        if (shown.empty()) {
            for (const QAction* action : menu->actions())
                shown.emplace_back(action->objectName().toStdString(), action->text().toStdString(),
                                   action->isSeparator(), action->isEnabled());
            // The disabled first item is passed over: Down lands on Exit.
            testing::Key(*menu, Qt::Key_Down);
            testing::Key(*menu, Qt::Key_Return);
        } else if (std::chrono::steady_clock::now() > deadline) {
            menu->close();
        }
    });
    driver.start(5);
    platform->ShowPopupMenu(form);
    driver.stop();

    using Item = std::tuple<std::string, std::string, bool, bool>;
    const std::vector<Item> expected = {{"mnuOpen", "&Open", false, false},
                                        {"R0", "", true, true},
                                        {"mnuQuit", "E&xit now", false, true}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(chosen, 1);
    EXPECT_FALSE(menuOpenWhenChosen);
    platform->UnloadForm(form);
}

}  // namespace
}  // namespace gimbalo
