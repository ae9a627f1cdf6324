// Who makes the program and where to reach them.
#pragma once

namespace gimbalo {

constexpr const char* kProductName = "Gimbalo";
constexpr const char* kHomePage = "https://www.gimbalo.org/";
constexpr const char* kUpdatesPage = "https://www.gimbalo.org/updates";
constexpr const char* kDonationPage = "https://www.gimbalo.org/donate";
constexpr const char* kTranslationContact = "translations@gimbalo.org";
// Fixed credit line of the about box, before " - " and the language's text.
constexpr const char* kCreditLine = "Copyright 2026 the Gimbalo developers";
// Fixed first line of the options dialog's credits.
constexpr const char* kAuthorsLine = "Gimbalo: the Gimbalo developers";

}  // namespace gimbalo
