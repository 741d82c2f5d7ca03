#include "TempFolder.h"

#include "platform/Paths.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

namespace fakes {
namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "kestrune-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern + "/";
}

TempFolder::~TempFolder()
{
    if (exeFolder_)
        platform::SetExeFolderOverride("");
    std::error_code ec;
    // Tests may leave read-only folders behind; give write access back before removing.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void TempFolder::BecomeExeFolder()
{
    platform::SetExeFolderOverride(path_);
    exeFolder_ = true;
}

void TempFolder::CopyTrayIcons() const
{
    const std::string from = platform::ExeFolder();
    for (const char* name : TrayPictures)
        fs::copy_file(from + name, path_ + name, fs::copy_options::overwrite_existing);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace fakes
