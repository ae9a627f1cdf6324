#include "shell/information_commands.h"

#include "shell/maker.h"

namespace gimbalo {

std::string LicenceDocumentName(const std::string& langFileName) {
    return langFileName == kItalianLanguageFile ? kItalianReadMe : kLicenceDocument;
}

std::string WebPageCommand(const std::string& address) {
    return "explorer " + address;
}

std::string DocumentCommand(Platform& platform, const std::string& documentName) {
    std::string path = platform.ProgramFolder() + platform.PathSeparator() + documentName;
    if (path.find_first_of(" \t") != std::string::npos) path = '"' + path + '"';
    return "Explorer " + path;
}

void OpenUpdatesPage(Platform& platform) {
    platform.StartProgram(WebPageCommand(kUpdatesPage), SW_SHOWMAXIMIZED);
}

void OpenDonationPage(Platform& platform) {
    platform.StartProgram(WebPageCommand(kDonationPage), SW_SHOWMAXIMIZED);
}

void OpenLicence(Platform& platform, const std::string& langFileName) {
    platform.StartProgram(DocumentCommand(platform, LicenceDocumentName(langFileName)),
                          SW_SHOWMAXIMIZED);
}

void OpenVersionHistory(Platform& platform) {
    platform.StartProgram(DocumentCommand(platform, kVersionHistoryDocument), SW_SHOWNORMAL);
}

void OpenHomePage(Platform& platform) {
    platform.StartProgram(WebPageCommand(kHomePage), SW_SHOWMAXIMIZED);
}

}  // namespace gimbalo
