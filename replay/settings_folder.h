// The folder a replay keeps Gimbalo.ini in: the one its command line names,
// made when missing, or else a fresh temporary one that goes with the run.
// Never the user's own settings.
#pragma once

#include <string>

namespace gimbalo {

class ReplaySettingsFolder {
public:
    // Makes a new folder, of a name no other run has, in the system's folder
    // for temporary files: true with its path in `path`, else false with one
    // line for the user in `error`. One per desktop.
    using MakeTemporaryFolder = bool (*)(std::string& path, std::string& error);

    ReplaySettingsFolder() = default;
    // A temporary folder goes, with what the run wrote in it.
    ~ReplaySettingsFolder();
    ReplaySettingsFolder(const ReplaySettingsFolder&) = delete;
    ReplaySettingsFolder& operator=(const ReplaySettingsFolder&) = delete;

    // Takes the folder `chosen`, in full, or a temporary one when it is
    // empty. False, with `error` set to one line, when it cannot be used.
    bool Prepare(const std::string& chosen, MakeTemporaryFolder makeTemporary, std::string& error);
    // UTF-8, as the program's paths are.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool temporary_ = false;
};

}  // namespace gimbalo
