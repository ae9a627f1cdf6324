// The pictures shipped with the program, loaded once each and handed out by
// number, as the desktop hands out picture handles.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace gimbalo {

class PictureStore {
public:
    // Pictures are read from `folder` (the program folder's "pictures").
    explicit PictureStore(std::string folder);
    // The folder is asked for when the first picture is loaded.
    explicit PictureStore(std::function<std::string()> folder);
    PictureStore(const PictureStore&) = delete;
    PictureStore& operator=(const PictureStore&) = delete;

    // Loads the picture file `fileName` (a plain file name in the folder)
    // and returns its handle: above 0, the same for the same file on every
    // call; 0 when the file is missing, unreadable or not a picture.
    int32_t Load(const std::string& fileName);

    // The picture of a handle Load returned; a null pixmap or icon for any
    // other number (0 included).
    QPixmap Pixmap(int32_t handle) const;
    QIcon Icon(int32_t handle) const;
    bool Contains(int32_t handle) const { return pixmaps_.count(handle) > 0; }

private:
    const std::string& Folder();

    std::function<std::string()> folderOf_;
    std::optional<std::string> folder_;
    std::map<std::string, int32_t> handles_;
    std::map<int32_t, QPixmap> pixmaps_;
    int32_t next_ = 1;
};

}  // namespace gimbalo
