#include "SaveDialog.h"

#include "Application.h"
#include "Interaction.h"
#include "Messages.h"

#include <QFileDialog>

namespace framework {

TSaveDialog::TSaveDialog(QObject* owner, const std::string& name) : TComponent(owner, name) {}

std::string QtFilterOf(const std::string& filter)
{
    std::string out;
    size_t at = 0;
    while (at <= filter.size()) {
        const size_t bar = filter.find('|', at);
        if (bar == std::string::npos)
            break;
        const size_t end = filter.find('|', bar + 1);
        const std::string description = filter.substr(at, bar - at);
        const std::string pattern = filter.substr(bar + 1, end == std::string::npos ? std::string::npos : end - bar - 1);
        if (!out.empty())
            out += ";;";
        // "Wma(*.wma)" names its pattern already; the dialog shows it once.
        if (description.find("(" + pattern + ")") != std::string::npos)
            out += description;
        else
            out += description + " (" + pattern + ")";
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return out;
}

bool TSaveDialog::Execute()
{
    ModalRequest request;
    request.kind = ModalKind::SaveDialog;
    request.text = Title;
    request.filter = Filter;
    request.fileName = FileName;
    request.initialDir = InitialDir;
    const ModalAnswer answer = Interact(request, [this] {
        QFileDialog dialog(Application().MainForm(), QString::fromStdString(Title));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Existing files are the start command's business, not the dialog's.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setNameFilter(QString::fromStdString(QtFilterOf(Filter)));
        if (!InitialDir.empty())
            dialog.setDirectory(QString::fromStdString(InitialDir));
        if (!FileName.empty())
            dialog.selectFile(QString::fromStdString(FileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return ModalAnswer{};
        return ModalAnswer{IDOK, dialog.selectedFiles().first().toStdString()};
    });
    if (answer.result != IDOK || answer.path.empty())
        return false;
    FileName = answer.path;
    return true;
}

} // namespace framework
