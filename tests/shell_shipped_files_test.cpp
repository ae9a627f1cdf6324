// What ships beside the executable for the shell integration: the documents
// the information commands open and the pictures the forms and menu show.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "shell/information_commands.h"
#include "shell/pictures.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::u8path(GIMBALO_DATA_DIR);

// Width and height from a PNG's header chunk; 0 x 0 when it is no PNG.
std::pair<uint32_t, uint32_t> PngSize(const fs::path& file) {
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
        const std::string text = testing::ReadFile((kData / fs::u8path(name)).string());
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "last line not ended";
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\n') continue;
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
    const std::string licence = testing::ReadFile((kData / kLicenceDocument).string());
    EXPECT_NE(licence.find("Copyright (c) 2026 the Gimbalo developers"), std::string::npos);
    const std::string readMe = testing::ReadFile((kData / fs::u8path(kItalianReadMe)).string());
    EXPECT_NE(readMe.find("Copyright (c) 2026 the Gimbalo developers"), std::string::npos);
}

TEST(ShellShippedFilesTest, PicturesHaveTheSizesTheirPlacesTake) {
    struct Case {
        const char* name;
        uint32_t width, height;
    } cases[] = {
        {kProgramIconPicture, 256, 256},       {kProgramIconSmallPicture, 32, 32},
        {kMenuOptionsPicture, 13, 13},         {kMenuAboutPicture, 13, 13},
        {kMenuUpdatesPicture, 13, 13},         {kMenuDonationPicture, 13, 13},
        {kMenuLicencePicture, 13, 13},         {kMenuExitPicture, 13, 13},
        {kAboutTitlePicture, 77, 75},          {kAboutPanelPicture, 150, 120},
        {kOptionsDecorationPicture, 158, 138}, {kHandPointerPicture, 32, 32},
    };
    for (const Case& c : cases) {
        const fs::path png = kData / "pictures" / c.name;
        EXPECT_EQ(PngSize(png), std::make_pair(c.width, c.height)) << c.name;
        fs::path svg = png;
        svg.replace_extension(".svg");
        EXPECT_TRUE(fs::is_regular_file(svg)) << c.name << " has no source beside it";
    }
}

TEST(ShellShippedFilesTest, HandPointerSourceNamesTheHotSpotTheProgramUses) {
    const std::string svg = testing::ReadFile((kData / "pictures" / "hand.svg").string());
    EXPECT_NE(svg.find("data-hotspot-x=\"" + std::to_string(kHandHotSpotX) + "\""),
              std::string::npos);
    EXPECT_NE(svg.find("data-hotspot-y=\"" + std::to_string(kHandHotSpotY) + "\""),
              std::string::npos);
}

}  // namespace
}  // namespace gimbalo
