// What ships beside the executable for the shell integration: the documents
// the information commands open, and the pictures every form names, in the
// sizes their places take.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "app/program.h"
#include "core/file_io.h"
#include "options/frm_opzioni.h"
#include "platform/common/picture_files.h"
#include "platform/sim/sim_platform.h"
#include "shell/frm_about.h"
#include "shell/information_commands.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

namespace fs = std::filesystem;

const fs::path kData = FileSystemPath(GIMBALO_DATA_DIR, true);
const fs::path kPictures = kData / "pictures";

using Size = std::pair<uint32_t, uint32_t>;

// Width and height from a PNG's header chunk; 0 x 0 when it is no PNG.
Size PngSize(const fs::path& file) {
    const std::string bytes = testing::ReadFile(file.string());
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto word = [&bytes](std::size_t at) {
        uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {word(16), word(20)};
}

TEST(ShellShippedFilesTest, DocumentsAreThereWithWindowsLineEnds) {
    for (const char* name : {kLicenceDocument, kItalianReadMe, kVersionHistoryDocument}) {
        SCOPED_TRACE(name);
        const std::string text = testing::ReadFile((kData / FileSystemPath(name, true)).string());
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "last line not ended";
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\n') continue;
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
    const std::string licence = testing::ReadFile((kData / kLicenceDocument).string());
    EXPECT_NE(licence.find("Copyright (c) 2026 the Gimbalo developers"), std::string::npos);
    const std::string readMe =
        testing::ReadFile((kData / FileSystemPath(kItalianReadMe, true)).string());
    EXPECT_NE(readMe.find("Copyright (c) 2026 the Gimbalo developers"), std::string::npos);
}

TEST(ShellShippedFilesTest, EveryPictureAFormNamesIsShippedInTheSizeOfItsPlace) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    sim.AddJoystick("Pad", 4);
    Program program(sim);
    program.settings.SetDefaults();
    Form* forms[] = {&program.mainWindow, &program.LoadOptionsDialog(), &program.LoadAboutBox()};

    ASSERT_FALSE(program.mainWindow.Layout().icon.empty());
    int pictures = 0;
    for (Form* form : forms) {
        SCOPED_TRACE(form->Name());
        // A form without an icon of its own takes the main window's.
        if (const std::string& icon = form->Layout().icon; !icon.empty()) {
            const Size iconSize = PngSize(kPictures / icon);
            EXPECT_GE(iconSize.first, 32u) << icon;
            EXPECT_EQ(iconSize.first, iconSize.second) << icon << " is not square";
        }

        const int perPixel = form->Layout().unit == Unit::Twips ? kTwipsPerPixel : 1;
        for (Control* control : form->Controls()) {
            auto* picture = dynamic_cast<PictureControl*>(control);
            if (picture == nullptr || picture->PictureFile().empty()) continue;
            const Bounds& place = picture->GetBounds();
            const Size expected{static_cast<uint32_t>(place.width / perPixel),
                                static_cast<uint32_t>(place.height / perPixel)};
            EXPECT_EQ(PngSize(kPictures / picture->PictureFile()), expected)
                << control->Name() << ": " << picture->PictureFile();
            ++pictures;
        }
    }
    // Img1 to Img6, imgTitle, Image1 and Image2.
    EXPECT_EQ(pictures, 9);
}

TEST(ShellShippedFilesTest, HandPointerIsShippedWithItsHotSpot) {
    EXPECT_EQ(PngSize(kPictures / kHandPointerPicture), Size(32, 32));

    const std::string svg = testing::ReadFile((kPictures / "hand.svg").string());
    EXPECT_NE(svg.find("data-hotspot-x=\"" + std::to_string(kHandHotSpotX) + "\""),
              std::string::npos);
    EXPECT_NE(svg.find("data-hotspot-y=\"" + std::to_string(kHandHotSpotY) + "\""),
              std::string::npos);
}

TEST(ShellShippedFilesTest, EveryPictureHasItsSourceBesideIt) {
    int checked = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kPictures)) {
        if (entry.path().extension() != ".png") continue;
        fs::path svg = entry.path();
        svg.replace_extension(".svg");
        // The small program icon is rendered from the big one's source.
        if (entry.path().filename() == "gimbalo_32.png") svg = kPictures / "gimbalo.svg";
        EXPECT_TRUE(fs::is_regular_file(svg)) << entry.path().filename() << " has no source";
        ++checked;
    }
    EXPECT_GE(checked, 12);
}

}  // namespace
}  // namespace gimbalo
