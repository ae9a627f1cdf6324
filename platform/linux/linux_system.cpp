// Locale, screen and common controls.
#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <cmath>
#include <cstring>

#include "platform/linux/linux_platform.h"

namespace gimbalo {

namespace {
constexpr int kTwipsPerInch = 1440;
constexpr int kDefaultTwipsPerPixel = 15;  // 96 DPI
}  // namespace

int LinuxPlatform::GetLocaleInfoA(uint32_t, uint32_t type, char* buffer, int size) {
    if (type != LOCALE_SENGCOUNTRY || buffer == nullptr || size <= 0) return 0;
    const QLocale::Territory territory = QLocale::system().territory();
    if (territory == QLocale::AnyTerritory) return 0;
    const QByteArray name = QLocale::territoryToString(territory).toUtf8();
    if (name.isEmpty() || name.size() + 1 > size) return 0;
    std::memcpy(buffer, name.constData(), static_cast<std::size_t>(name.size()) + 1);
    return static_cast<int>(name.size()) + 1;
}

// Qt is up once the platform exists; its widgets need nothing more.
void LinuxPlatform::InitCommonControls() {}

int LinuxPlatform::TwipsPerPixelX() {
    const QScreen* screen = application_ ? QGuiApplication::primaryScreen() : nullptr;
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 0.0;
    if (!(dpi > 0.0)) return kDefaultTwipsPerPixel;
    return std::max(1, static_cast<int>(std::lround(kTwipsPerInch / dpi)));
}

}  // namespace gimbalo
