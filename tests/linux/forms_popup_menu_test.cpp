// A form's popup menu on Qt, shown as a QMenu built from the model.
#include <QApplication>
#include <QMenu>
#include <QTimer>

#include "gui_test_support.h"
#include "platform/forms.h"

namespace gimbalo {
namespace {

struct MenuForm : Form {
    MenuForm() : Form("frmMenu") {}
    Menu PopUp{*this, "PopUp", "Menu"};
    MenuItem mnuOpen{PopUp, "mnuOpen", "&Open"};
    MenuItem R0{PopUp, "R0", "-"};
    MenuItem mnuQuit{PopUp, "mnuQuit", "&Quit"};
};

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

    using Item = std::tuple<std::string, std::string, bool, bool>;
    std::vector<Item> shown;
    testing::WithNextPopup([&] { platform->ShowPopupMenu(form); },
                           [&](QMenu& menu) {
                               for (const QAction* action : menu.actions())
                                   shown.emplace_back(action->objectName().toStdString(),
                                                      action->text().toStdString(),
                                                      action->isSeparator(), action->isEnabled());
                               // The disabled first item is passed over: Down lands on Exit.
                               testing::Key(menu, Qt::Key_Down);
                               testing::Key(menu, Qt::Key_Return);
                           });
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
