// What a file dialog hands back, as any bytes: the program takes paths
// without NUL characters, one for a single choice, a folder joined to each
// name for a multiple one, and nothing for an answer too long. And what the
// Linux dialogs write into the record reads back as the very files chosen.
#include <string>
#include <vector>

#include "core/file_io.h"
#include "fuzz/fuzz_support.h"
#include "lang/file_dialogs.h"
#include "platform/common/text_encoding.h"
#include "platform/file_dialog_record.h"
#include "platform/sim/sim_platform.h"

using namespace gimbalo;

namespace {

struct Desk {
    Desk() : sim(fuzz::Folder()), owner(FormDesign::Named("Owner")) {}
    SimPlatform sim;
    Form owner;
};

std::vector<std::string> Ask(Desk& desk, const std::string& buffer, uint32_t flags) {
    desk.sim.QueueDialogAnswer(buffer, flags);
    uint32_t asked = 0;
    FileDialogOptions options{
        .Flags = &asked, .InitDir = "/", .OwnerWindow = desk.owner, .OpenFile = true};
    return ShowFileDialog(desk.sim, options);
}

// Any answer buffer: every path is whole text, no NUL inside.
void AnyAnswer(fuzz::Input& in) {
    Desk desk;
    const uint32_t flags = (in.Byte() & 1) ? OFN_ALLOWMULTISELECT : 0;
    const std::string buffer = in.Rest();
    const std::vector<std::string> paths = Ask(desk, buffer, flags);
    if (buffer.size() > kFileDialogBuffer) FUZZ_REQUIRE(paths.empty(), "too long: nothing");
    for (const std::string& path : paths) {
        FUZZ_REQUIRE(!path.empty(), "no empty path");
        FUZZ_REQUIRE(path.find('\0') == std::string::npos, "no NUL inside a path");
    }
    if (flags == 0) {
        FUZZ_REQUIRE(paths.size() <= 1, "one path without multiple selection");
        if (!paths.empty()) FUZZ_REQUIRE(paths[0] == TrimAtNul(buffer), "the path before the NUL");
        return;
    }
    if (paths.size() < 2) return;
    const std::string folder = AddSeparator(TrimAtNul(buffer), '/');
    for (const std::string& path : paths)
        FUZZ_REQUIRE(path.starts_with(folder) && path.size() > folder.size(),
                     "each name joined to the folder");
}

// Files chosen in one folder, as the Linux dialogs record them.
void ChosenFiles(fuzz::Input& in) {
    auto clean = [](std::string text) {
        std::erase(text, '\0');
        std::erase(text, '/');
        return text;
    };
    std::string folder;
    for (std::size_t parts = in.Pick(4); parts > 0; --parts)
        if (const std::string part = clean(in.Text(40)); !part.empty()) folder += "/" + part;
    std::vector<std::string> chosen;
    for (std::size_t count = in.Pick(4) + 1; count > 0; --count) {
        const std::string name = clean(in.Text(60));
        if (!name.empty()) chosen.push_back(folder + "/" + name);
    }
    // The dialogs hand over the desktop's text, which is UTF-8.
    if (chosen.empty() || !IsValidUtf8(folder)) return;
    for (const std::string& path : chosen)
        if (!IsValidUtf8(path)) return;

    OPENFILENAME record;
    record.nMaxFile = kFileDialogBuffer;
    record.lpstrFile.assign(kFileDialogBuffer, '\0');
    record.nMaxFileTitle = kFileDialogBuffer;
    record.lpstrFileTitle.assign(kFileDialogBuffer, '\0');
    if (!RecordChosenFiles(record, chosen)) return;
    const std::string answer = record.lpstrFile.substr(0, record.lpstrFile.find("\0\0", 0, 2) + 1);
    FUZZ_REQUIRE(CharacterCount(record.lpstrFile, true) == kFileDialogBuffer,
                 "the buffer keeps its size");
    if (chosen.size() == 1) {
        const std::string name = chosen[0].substr(chosen[0].rfind('/') + 1);
        FUZZ_REQUIRE(CharactersFrom(chosen[0], record.nFileOffset, true) == name,
                     "the name's offset");
        FUZZ_REQUIRE(TrimAtNul(record.lpstrFileTitle) == name, "the file title is the name");
    }
    // The sim's buffer counts bytes: a record of longer characters does not
    // fit it, which says nothing of the program.
    if (answer.size() + 1 > kFileDialogBuffer) return;
    Desk desk;
    const uint32_t flags = chosen.size() > 1 ? OFN_ALLOWMULTISELECT : 0;
    FUZZ_REQUIRE(Ask(desk, answer, flags) == chosen, "the program reads back the files chosen");
}

// The filter list of the record, as the Linux dialogs read it.
void Filters(fuzz::Input& in) {
    const uint32_t requested = in.Byte();
    const std::string filter = in.Rest();
    const auto pairs = FilterPairs(filter);
    for (const auto& [description, patterns] : pairs) {
        FUZZ_REQUIRE(!description.empty() && !patterns.empty(), "no empty part");
        FUZZ_REQUIRE(
            description.find('\0') == std::string::npos && patterns.find('\0') == std::string::npos,
            "parts end at NULs");
    }
    const uint32_t index = FirstFilterIndex(requested, pairs.size());
    FUZZ_REQUIRE(index >= 1 && (index <= pairs.size() || index == 1), "a filter that exists");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    switch (in.Pick(3)) {
        case 0:
            AnyAnswer(in);
            break;
        case 1:
            ChosenFiles(in);
            break;
        default:
            Filters(in);
            break;
    }
    return 0;
}
