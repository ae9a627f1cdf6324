#include "platform/linux/picture_store.h"

#include <QFile>
#include <utility>

namespace gimbalo {

namespace {
// A picture name is one file of the folder: nothing that climbs out of it.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}
}  // namespace

PictureStore::PictureStore(std::string folder) : folder_(std::move(folder)) {}

int32_t PictureStore::Load(const std::string& fileName) {
    const auto known = handles_.find(fileName);
    if (known != handles_.end()) return known->second;
    if (!IsPlainFileName(fileName)) return 0;

    const std::string path = folder_ + "/" + fileName;
    QPixmap pixmap;
    // A failed load is not remembered: a file put in place later still loads.
    if (!pixmap.load(QFile::decodeName(path.c_str())) || pixmap.isNull()) return 0;
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
