// The menu commands that open the maker's web pages and the documents shipped
// beside the program. Each starts the desktop's file explorer and returns at
// once; a failure to start it is dropped, and a command can simply be picked
// again.
#pragma once

#include <string>

#include "platform/platform.h"

namespace gimbalo {

constexpr const char* kLicenceDocument = "License.txt";
constexpr const char* kItalianReadMe = "Leggere prima dell'uso.txt";
constexpr const char* kVersionHistoryDocument = "Versioni.txt";

// The licence document for the language file in use: the Italian read-me for
// exactly "Italiano.lng" (letter case counts), "License.txt" for any other.
std::string LicenceDocumentName(const std::string& langFileName);

// "explorer " + address: the desktop opens the address in the default browser.
std::string WebPageCommand(const std::string& address);
// "Explorer " + the document's path in the program folder, quoted as
// ExplorerCommand quotes it.
std::string DocumentCommand(Platform& platform, const std::string& documentName);

// mnuAggiornamenti_Click: the maker's updates page, maximised.
void OpenUpdatesPage(Platform& platform);
// mnuDonazione_Click: the maker's donation page, maximised.
void OpenDonationPage(Platform& platform);
// mnuLicenza_Click: the licence or Italian read-me, maximised.
void OpenLicence(Platform& platform, const std::string& langFileName);
// mnuVersioni_Click: the version history, in a normal window.
void OpenVersionHistory(Platform& platform);
// The about box's home-page link: the maker's home page, maximised.
void OpenHomePage(Platform& platform);

}  // namespace gimbalo
