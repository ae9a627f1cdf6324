#include "shell/information_commands.h"

#include "core/maker.h"
#include "lang/language_choice.h"
#include "platform/program_call.h"

namespace gimbalo {

std::string LicenceDocumentName(const std::string& langFileName) {
    return langFileName == kItalianLanguage ? kItalianReadMe : kLicenceDocument;
}

std::string WebPageCommand(const std::string& address) {
    return "explorer " + address;
}

std::string DocumentCommand(Platform& platform, const std::string& documentName) {
    return ExplorerCommand("Explorer",
                           platform.ProgramFolder() + platform.PathSeparator() + documentName);
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
