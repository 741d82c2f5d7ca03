#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace platform {
namespace {
std::string& Override()
{
    static std::string folder;
    return folder;
}

std::string WithSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != PathSeparator)
        folder.push_back(PathSeparator);
    return folder;
}
} // namespace

std::string ExeFolder()
{
    if (!Override().empty())
        return Override();
    if (QCoreApplication::instance())
        return WithSeparator(QCoreApplication::applicationDirPath().toStdString());
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return WithSeparator(std::filesystem::current_path(ec).string());
    return WithSeparator(exe.parent_path().string());
}

void SetExeFolderOverride(const std::string& folder)
{
    Override() = folder.empty() ? std::string() : WithSeparator(folder);
}

std::string HomeFolder()
{
    return WithSeparator(QDir::homePath().toStdString());
}

std::string ConfigFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return WithSeparator(config.toStdString()) + "kestrune" + PathSeparator;
}

} // namespace platform
