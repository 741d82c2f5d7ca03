#pragma once
// An icon picture: every size an .ico file holds, as one QIcon.
#include <QByteArray>
#include <QIcon>
#include <string>

namespace framework {

class TIcon {
public:
    // Replaces the picture with the file's. Throws PlatformError "Cannot open file <path>"
    // when the file cannot be read, "Icon image is not valid" when it is no .ico with at
    // least one readable image; the picture is then unchanged.
    void LoadFromFile(const std::string& path);

    bool Empty() const { return picture_.isNull(); }
    // The same file loaded again keeps the same QIcon (its cacheKey stays), so a tray that
    // shows it need not be told.
    const QIcon& Picture() const { return picture_; }

private:
    QIcon picture_;
    QByteArray bytes_; // the file the picture came from
};

} // namespace framework
