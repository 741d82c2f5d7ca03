#include "Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace framework {
namespace {
std::function<bool(const ShellRequest&)>& Hook()
{
    static std::function<bool(const ShellRequest&)> hook;
    return hook;
}
} // namespace

void SetShellHook(std::function<bool(const ShellRequest&)> hook)
{
    Hook() = std::move(hook);
}

std::string FindProgram(const std::string& name)
{
    return QStandardPaths::findExecutable(QString::fromStdString(name)).toStdString();
}

bool ShellStart(const std::string& program, const std::vector<std::string>& args)
{
    if (Hook())
        return Hook()({program, args, {}});
    QStringList arguments;
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    return QProcess::startDetached(QString::fromStdString(program), arguments);
}

bool ShellOpen(const std::string& path)
{
    if (Hook())
        return Hook()({{}, {}, path});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace framework
