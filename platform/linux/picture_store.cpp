#include "platform/linux/picture_store.h"

#include <QFile>
#include <QImageReader>
#include <string_view>
#include <utility>

namespace gimbalo {

namespace {
// A picture name is one file of the folder: nothing that climbs out of it.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

bool HasPngSuffix(const std::string& name) {
    constexpr std::string_view kSuffix = ".png";
    if (name.size() <= kSuffix.size()) return false;
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        const char c = name[name.size() - kSuffix.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kSuffix[i]) return false;
    }
    return true;
}

// The shipped pictures are PNG files, which Qt reads itself. Named as such,
// Qt is not asked to guess the format: guessing loads every image format
// plugin (GIF, ICO, JPEG and the JPEG library), a quarter of a megabyte that
// stays resident for the life of the program. Any other file, or one that
// only carries the name, goes through the general loader.
QPixmap ReadPicture(const QString& path, bool png) {
    if (png) {
        QImageReader reader(path, "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) return QPixmap::fromImage(image);
    }
    QPixmap pixmap;
    pixmap.load(path);
    return pixmap;
}
}  // namespace

PictureStore::PictureStore(std::string folder) : folder_(std::move(folder)) {}

PictureStore::PictureStore(std::function<std::string()> folder) : folderOf_(std::move(folder)) {}

const std::string& PictureStore::Folder() {
    if (!folder_) folder_ = folderOf_();
    return *folder_;
}

int32_t PictureStore::Load(const std::string& fileName) {
    const auto known = handles_.find(fileName);
    if (known != handles_.end()) return known->second;
    if (!IsPlainFileName(fileName)) return 0;

    const std::string path = Folder() + "/" + fileName;
    QPixmap pixmap = ReadPicture(QFile::decodeName(path.c_str()), HasPngSuffix(fileName));
    // A failed load is not remembered: a file put in place later still loads.
    if (pixmap.isNull()) return 0;
    const int32_t handle = next_++;
    handles_.emplace(fileName, handle);
    pixmaps_.emplace(handle, std::move(pixmap));
    return handle;
}

QPixmap PictureStore::Pixmap(int32_t handle) const {
    const auto found = pixmaps_.find(handle);
    return found != pixmaps_.end() ? found->second : QPixmap();
}

QIcon PictureStore::Icon(int32_t handle) const {
    const auto found = pixmaps_.find(handle);
    return found != pixmaps_.end() ? QIcon(found->second) : QIcon();
}

}  // namespace gimbalo
