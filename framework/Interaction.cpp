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

ModalAnswer RealMessageBox(const ModalRequest& request)
{
    QMessageBox box(IconOf(request.flags), QString::fromStdString(request.caption),
        QString::fromStdString(request.text));
    const bool secondDefault = (request.flags & 0xF00) == MB_DEFBUTTON2;
    switch (request.flags & 0x0F) {
    case MB_YESNO: {
        auto* yes = box.addButton(QMessageBox::Yes);
        auto* no = box.addButton(QMessageBox::No);
        box.setDefaultButton(secondDefault ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return {box.clickedButton() == yes ? IDYES : IDNO, {}};
    }
    case MB_OKCANCEL: {
        auto* ok = box.addButton(QMessageBox::Ok);
        auto* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(secondDefault ? cancel : ok);
        box.setEscapeButton(cancel);
        box.exec();
        return {box.clickedButton() == ok ? IDOK : IDCANCEL, {}};
    }
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
