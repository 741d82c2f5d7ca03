#pragma once
// A fresh folder for one test, removed with everything in it when the test ends. The
// executable's folder can be pointed at it, so a test's set.ini lives there.
#include <string>

namespace fakes {

// The tray pictures the program finds beside itself.
inline constexpr const char* TrayPictures[] = {"ti.ico", "ti_rec.ico", "ti_rec_p.ico", "ti_play.ico", "ti_play_p.ico"};

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, with its trailing separator.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

    // ExeFolder() answers this folder until the TempFolder is gone.
    void BecomeExeFolder();
    // The five tray pictures from the build's program folder (the tests' own), as the program
    // finds them beside itself.
    void CopyTrayIcons() const;

private:
    std::string path_;
    bool exeFolder_ = false;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& text);

} // namespace fakes
