#include "Interaction.h"

#include "Messages.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace framework {
namespace {
InteractionHook& Hook()
{
    static InteractionHook hook;
    return hook;
}

QMessageBox::Icon IconOf(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// A box with two answers: the first is the default unless MB_DEFBUTTON2 says otherwise,
// Escape gives the second.
int AskTwo(QMessageBox& box, QMessageBox::StandardButton first, int firstId, QMessageBox::StandardButton second,
    int secondId, bool secondDefault)
{
    auto* a = box.addButton(first);
    auto* b = box.addButton(second);
    box.setDefaultButton(secondDefault ? b : a);
    box.setEscapeButton(b);
    box.exec();
    return box.clickedButton() == a ? firstId : secondId;
}

ModalAnswer RealMessageBox(const ModalRequest& request)
{
    QMessageBox box(IconOf(request.flags), QString::fromStdString(request.caption),
        QString::fromStdString(request.text));
    if (!request.details.empty())
        box.setDetailedText(QString::fromStdString(request.details));
    const bool secondDefault = (request.flags & 0xF00) == MB_DEFBUTTON2;
    switch (request.flags & 0x0F) {
    case MB_YESNO:
        return {AskTwo(box, QMessageBox::Yes, IDYES, QMessageBox::No, IDNO, secondDefault), {}};
    case MB_OKCANCEL:
        return {AskTwo(box, QMessageBox::Ok, IDOK, QMessageBox::Cancel, IDCANCEL, secondDefault), {}};
    default:
        box.addButton(QMessageBox::Ok);
        box.exec();
        return {IDOK, {}};
    }
}
} // namespace

void SetInteractionHook(InteractionHook hook)
{
    Hook() = std::move(hook);
}

ModalAnswer Interact(const ModalRequest& request)
{
    return Interact(request, [&request] { return RealMessageBox(request); });
}

ModalAnswer Interact(const ModalRequest& request, const std::function<ModalAnswer()>& real)
{
    if (auto& hook = Hook())
        return hook(request);
    return real();
}

} // namespace framework
