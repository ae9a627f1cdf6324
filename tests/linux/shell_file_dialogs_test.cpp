// The open and save dialogs on Qt: the record sets the dialog up, and what the
// user picks comes back in the record as the desktop's common dialogs give it.
// The tests find the dialog among the program's windows and answer it as a
// user would.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "gui_test_support.h"
#include "lang/file_dialogs.h"
#include "linux_test_support.h"
#include "platform/forms.h"

namespace gimbalo {
namespace {

using testing::kDeadline;

// Answers the next file dialog with `answer`; a dialog still open at the
// deadline is cancelled, so a fault fails the test instead of hanging it.
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void(QFileDialog&)> answer) : answer_(std::move(answer)) {
        look_.setInterval(10);
        QObject::connect(&look_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(widget);
                if (dialog == nullptr || !dialog->isVisible()) continue;
                look_.stop();
                found = true;
                answer_(*dialog);
                return;
            }
        });
        look_.start();
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            while (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        watchdog_.start(std::chrono::duration_cast<std::chrono::milliseconds>(kDeadline));
    }
    bool found = false;

private:
    std::function<void(QFileDialog&)> answer_;
    QTimer look_;
    QTimer watchdog_;
};

// Types `text` into the dialog's name field and presses its accept button.
void TypeAndAccept(QFileDialog& dialog, const QString& text) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(text);
    static_cast<QDialog&>(dialog).accept();  // what the accept button does
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

std::string NulPadded(const std::string& text, std::size_t characters) {
    std::string buffer = text;
    buffer.append(characters - QString::fromStdString(text).toUcs4().size(), '\0');
    return buffer;
}

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        testing::StartOnDisplay(platform_);
        if (!platform_) return;
        ASSERT_TRUE(folder_.isValid());
        for (const char* name :
             {"English.lng", "Italiano.lng", "Lingua è bella.lng", "notes.txt"}) {
            QFile file(folder_.filePath(QString::fromUtf8(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    OPENFILENAME Record(const std::string& fileName = {}) {
        OPENFILENAME record;
        record.hwndOwner = &owner_;
        record.lpstrFilter = std::string("Language files\0*.lng\0All files\0*.*\0", 36);
        record.nFilterIndex = 1;
        record.lpstrFile = NulPadded(fileName, 256);
        record.nMaxFile = 256;
        record.lpstrFileTitle.assign(256, '\0');
        record.nMaxFileTitle = 256;
        record.lpstrInitialDir = Folder();
        record.lpstrTitle = "Choose";
        return record;
    }
    std::string Folder() const { return Utf8(folder_.path()); }
    std::string InFolder(const char* name) const { return Folder() + "/" + name; }

    std::unique_ptr<testing::TestPlatform> platform_;
    QTemporaryDir folder_;
    Form owner_{"Owner"};
};

TEST_F(FileDialogs, TheRecordSetsUpTheDialog) {
    struct Seen {
        QString title;
        QStringList filters;
        QString selectedFilter;
        QString directory;
        QString name;
        QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
        QFileDialog::FileMode mode = QFileDialog::Directory;
        QString suffix;
        bool modal = false;
    } seen;
    OPENFILENAME record = Record("Italiano.lng");
    record.nFilterIndex = 2;
    record.lpstrDefExt = "lng";
    DialogAnswer answer([&](QFileDialog& dialog) {
        seen.title = dialog.windowTitle();
        seen.filters = dialog.nameFilters();
        seen.selectedFilter = dialog.selectedNameFilter();
        seen.directory = dialog.directory().absolutePath();
        seen.name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        seen.accept = dialog.acceptMode();
        seen.mode = dialog.fileMode();
        seen.suffix = dialog.defaultSuffix();
        seen.modal = dialog.isModal();
        dialog.reject();
    });
    EXPECT_FALSE(platform_->GetOpenFileNameA(record));
    ASSERT_TRUE(answer.found);
    EXPECT_EQ(seen.title, QStringLiteral("Choose"));
    EXPECT_EQ(seen.filters, QStringList({QStringLiteral("Language files (*.lng)"),
                                         QStringLiteral("All files (*.*)")}));
    EXPECT_EQ(seen.selectedFilter, QStringLiteral("All files (*.*)"));
    EXPECT_EQ(seen.directory, folder_.path());
    EXPECT_EQ(seen.name, QStringLiteral("Italiano.lng"));
    EXPECT_EQ(seen.accept, QFileDialog::AcceptOpen);
    // The program's one caller passes no flags: a typed name need not exist.
    EXPECT_EQ(seen.mode, QFileDialog::AnyFile);
    EXPECT_EQ(seen.suffix, QStringLiteral("lng"));
    EXPECT_TRUE(seen.modal);
}

TEST_F(FileDialogs, ADialogStandsOverItsOwnersWindowWhenTheOwnerHasOne) {
    // Hidden, as the main window is: no window to stand over.
    platform_->LoadForm(owner_);
    const QWidget* parent = nullptr;
    DialogAnswer hidden([&](QFileDialog& dialog) {
        parent = dialog.parentWidget();
        dialog.reject();
    });
    OPENFILENAME record = Record();
    platform_->GetOpenFileNameA(record);
    EXPECT_TRUE(hidden.found);
    EXPECT_EQ(parent, nullptr);

    owner_.Show();
    DialogAnswer shown([&](QFileDialog& dialog) {
        // Nobody's child, so the owner's window cannot take it along; the
        // window system is told which window it stands over.
        EXPECT_EQ(dialog.parentWidget(), nullptr);
        const QWindow* over = dialog.windowHandle()->transientParent();
        parent = over != nullptr ? QWidget::find(over->winId()) : nullptr;
        dialog.reject();
    });
    platform_->GetOpenFileNameA(record);
    EXPECT_TRUE(shown.found);
    ASSERT_NE(parent, nullptr);
    EXPECT_TRUE(parent->isWindow());
    EXPECT_TRUE(parent->isVisible());
    platform_->UnloadForm(owner_);
}

TEST_F(FileDialogs, TheOwnerMayUnloadWhileItsDialogIsOpen) {
    platform_->LoadForm(owner_);
    owner_.Show();
    bool stillThere = false;
    DialogAnswer answer([&](QFileDialog& dialog) {
        QPointer<QFileDialog> kept = &dialog;
        platform_->UnloadForm(owner_);
        testing::FlushDeletes();
        stillThere = !kept.isNull();
        if (kept) kept->reject();
    });
    OPENFILENAME record = Record();
    EXPECT_FALSE(platform_->GetOpenFileNameA(record));
    EXPECT_TRUE(answer.found);
    EXPECT_TRUE(stillThere);
}

TEST_F(FileDialogs, ACancelReturnsFalseAndLeavesTheRecord) {
    for (bool open : {true, false}) {
        OPENFILENAME record = Record("English.lng");
        const OPENFILENAME before = record;
        DialogAnswer answer([](QFileDialog& dialog) { dialog.reject(); });
        const bool chosen =
            open ? platform_->GetOpenFileNameA(record) : platform_->GetSaveFileNameA(record);
        EXPECT_TRUE(answer.found);
        EXPECT_FALSE(chosen) << (open ? "open" : "save");
        EXPECT_EQ(record.lpstrFile, before.lpstrFile);
        EXPECT_EQ(record.nFilterIndex, before.nFilterIndex);
        EXPECT_EQ(record.nFileOffset, 0);
    }
}

TEST_F(FileDialogs, TheChosenFileComesBackAsAFullPathInTheBuffer) {
    const std::string folder = Folder();
    const auto folderLength = static_cast<uint16_t>(QString::fromStdString(folder).toUcs4().size());
    struct Case {
        const char* name;
        bool open;
        const char* defaultExt;
        uint32_t flags;
        QString typed;
        std::string expected;     // the full path
        uint16_t extensionAfter;  // characters from the name's start to its extension
    };
    const Case cases[] = {
        {"existing file", true, "", 0, "English.lng", folder + "/English.lng", 8},
        {"name with blanks and accents", true, "", 0, "Lingua è bella.lng",
         folder + "/Lingua è bella.lng", 15},
        // The one caller sets no OFN_FILEMUSTEXIST: a new name is the caller's to judge.
        {"open a name that does not exist", true, "", 0, "Nuovo.lng", folder + "/Nuovo.lng", 6},
        {"save adds the default extension", false, "lng", 0, "Nuovo", folder + "/Nuovo.lng", 6},
        {"save keeps a typed extension", false, "lng", 0, "note.txt", folder + "/note.txt", 5},
        // No overwrite prompt unless the flags ask for one.
        {"save over an existing file", false, "", 0, "notes.txt", folder + "/notes.txt", 6},
        {"no extension", false, "", 0, "README", folder + "/README", 6},
    };
    for (const Case& c : cases) {
        OPENFILENAME record = Record();
        record.lpstrDefExt = c.defaultExt;
        record.Flags = c.flags;
        DialogAnswer answer([&](QFileDialog& dialog) { TypeAndAccept(dialog, c.typed); });
        const bool chosen =
            c.open ? platform_->GetOpenFileNameA(record) : platform_->GetSaveFileNameA(record);
        ASSERT_TRUE(answer.found) << c.name;
        ASSERT_TRUE(chosen) << c.name;
        EXPECT_EQ(record.lpstrFile, NulPadded(c.expected, 256)) << c.name;
        EXPECT_EQ(record.nFileOffset, folderLength + 1) << c.name;
        EXPECT_EQ(record.nFileExtension, folderLength + 1 + c.extensionAfter) << c.name;
    }
}

TEST_F(FileDialogs, AnAnswerTooLongForTheBufferFails) {
    OPENFILENAME record = Record();
    record.lpstrFile.assign(12, '\0');
    record.nMaxFile = 12;
    DialogAnswer answer([](QFileDialog& dialog) { TypeAndAccept(dialog, "English.lng"); });
    EXPECT_FALSE(platform_->GetOpenFileNameA(record));
    EXPECT_TRUE(answer.found);
    EXPECT_EQ(record.lpstrFile, std::string(12, '\0'));
}

TEST_F(FileDialogs, AMultipleSelectionComesBackThroughShowFileDialog) {
    struct Case {
        const char* name;
        QString typed;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"two files",
         "\"English.lng\" \"Italiano.lng\"",
         {InFolder("English.lng"), InFolder("Italiano.lng")}},
        {"one file", "\"English.lng\"", {InFolder("English.lng")}},
    };
    for (const Case& c : cases) {
        uint32_t flags = OFN_ALLOWMULTISELECT;
        FileDialogOptions options{.Flags = &flags,
                                  .InitDir = Folder(),
                                  .Filter = std::string("Language files\0*.lng\0", 22),
                                  .OwnerWindow = owner_,
                                  .OpenFile = true};
        DialogAnswer answer([&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles) << c.name;
            TypeAndAccept(dialog, c.typed);
        });
        std::vector<std::string> chosen = ShowFileDialog(*platform_, options);
        EXPECT_TRUE(answer.found) << c.name;
        std::sort(chosen.begin(), chosen.end());
        EXPECT_EQ(chosen, c.expected) << c.name;
        EXPECT_EQ(flags, OFN_ALLOWMULTISELECT) << c.name;
    }
}

}  // namespace
}  // namespace gimbalo
