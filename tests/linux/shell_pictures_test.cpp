// The picture store: shipped pictures load once each under a lasting handle,
// anything else gives 0.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <filesystem>

#include "linux_test_support.h"
#include "platform/linux/picture_store.h"

namespace gimbalo {
namespace {

// The pictures as they ship, in the source tree.
std::string ShippedPictures() {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data" /
            "pictures")
        .string();
}

TEST(PictureStore, LoadsEachShippedPictureOnceUnderItsOwnHandle) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    PictureStore store(ShippedPictures());
    struct Case {
        const char* file;
        int size;
    };
    const Case cases[] = {{"gimbalo.png", 256}, {"gimbalo_32.png", 32}, {"menu_exit.png", 13}};
    std::vector<int32_t> handles;
    for (const Case& c : cases) {
        const int32_t handle = store.Load(c.file);
        EXPECT_GT(handle, 0) << c.file;
        EXPECT_EQ(store.Load(c.file), handle) << c.file << ": loaded again";
        EXPECT_EQ(store.Pixmap(handle).size(), QSize(c.size, c.size)) << c.file;
        EXPECT_FALSE(store.Icon(handle).isNull()) << c.file;
        for (int32_t other : handles) EXPECT_NE(handle, other) << c.file;
        handles.push_back(handle);
    }
}

TEST(PictureStore, WhatIsNotAShippedPictureGivesZero) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile broken(folder.filePath("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QFile::copy(QString::fromStdString(ShippedPictures() + "/menu_exit.png"),
                folder.filePath("outside.png"));
    ASSERT_TRUE(QDir().mkpath(folder.filePath("pictures")));
    PictureStore store(folder.filePath("pictures").toStdString());
    QFile::copy(QString::fromStdString(ShippedPictures() + "/menu_exit.png"),
                folder.filePath("pictures/menu_exit.png"));
    for (const char* file : {"missing.png", "../broken.png", "../outside.png", "", ".", ".."})
        EXPECT_EQ(store.Load(file), 0) << '"' << file << '"';
    EXPECT_GT(store.Load("menu_exit.png"), 0);
    // Numbers it never handed out give nothing.
    for (int32_t handle : {0, -1, 99}) {
        EXPECT_TRUE(store.Pixmap(handle).isNull()) << handle;
        EXPECT_TRUE(store.Icon(handle).isNull()) << handle;
    }
}

TEST(PictureStore, APictureLoadsWhateverItsNameSaysItIs) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QImage image =
        QPixmap(QString::fromStdString(ShippedPictures() + "/menu_exit.png")).toImage();
    ASSERT_FALSE(image.isNull());
    struct Case {
        const char* file;
        const char* format;
    };
    // PNG files are read without asking Qt to guess; the rest must still load.
    const Case cases[] = {{"upper.PNG", "PNG"},
                          {"plain.bmp", "BMP"},
                          {"bitmap.png", "BMP"},
                          {"no_suffix", "PNG"},
                          {"other.gif", "PNG"}};
    for (const Case& c : cases)
        ASSERT_TRUE(image.save(folder.filePath(c.file), c.format)) << c.file;
    PictureStore store(folder.path().toStdString());
    for (const Case& c : cases) {
        const int32_t handle = store.Load(c.file);
        ASSERT_GT(handle, 0) << c.file;
        EXPECT_EQ(store.Pixmap(handle).size(), image.size()) << c.file;
    }
}

TEST(PictureStore, APictureThatArrivesLaterStillLoads) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PictureStore store(folder.path().toStdString());
    EXPECT_EQ(store.Load("menu_exit.png"), 0);
    ASSERT_TRUE(QFile::copy(QString::fromStdString(ShippedPictures() + "/menu_exit.png"),
                            folder.filePath("menu_exit.png")));
    EXPECT_GT(store.Load("menu_exit.png"), 0);
}

}  // namespace
}  // namespace gimbalo
