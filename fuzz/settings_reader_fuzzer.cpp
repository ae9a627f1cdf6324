// The settings file as any bytes a disk may hold. Whatever is read, the file
// the program writes back has eight lines, each ended by CR LF, and reads
// back as the same settings; on disk too.
#include <optional>
#include <string>

#include "core/file_io.h"
#include "core/settings.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/settings_checks.h"
#include "platform/common/text_encoding.h"

using namespace gimbalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Bytes that are not text (a NUL, UTF-16 without its mark) are kept as
    // they are and never read; marked UTF-16 is read for what it says.
    const std::optional<std::string> decoded = TextOfMarkedFile(bytes, true);
    if (!decoded) return 0;
    Settings read;
    std::string language;
    ReadSettingsText(*decoded, read, language);
    // As the start-up step takes it: a name the file cannot hold again is
    // refused.
    read.LangFileName = CanStoreLanguageName(language) ? language : std::string();
    FUZZ_REQUIRE(language.find_first_of("\r\n") == std::string::npos || read.LangFileName.empty(),
                 "a name with a line break is never kept");

    const std::string text = SettingsFileText(read);
    fuzz::RequireReadsBack(read, text);

    // The same through a real file: the program's own read and write.
    const std::string path = fuzz::Folder() + "/Gimbalo.ini";
    FUZZ_REQUIRE(WriteSettingsFile(path, read), "the settings file can be written");
    const ReadResult onDisk = ReadSmallFile(path, true);
    FUZZ_REQUIRE(onDisk.status == ReadStatus::Read && onDisk.bytes == text,
                 "the file holds what was written");
    Settings again;
    std::string languageAgain;
    FUZZ_REQUIRE(ReadSettingsFile(path, again, languageAgain) == SettingsFileState::Read,
                 "the written file can be read");
    FUZZ_REQUIRE(languageAgain == read.LangFileName, "the language reads back from disk");
    return 0;
}
