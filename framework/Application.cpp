#include "Application.h"

#include "HandlerGuard.h"
#include "Interaction.h"
#include "Messages.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <cstdio>

namespace framework {
namespace {
// The stderr line of a box's text and its reason: "kestrune: " + the first line + the reason.
std::string ReasonLine(const std::string& text, const std::string& details)
{
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return "kestrune: " + line + (line.empty() || line.back() == ':' ? " " : ": ") + details;
}
} // namespace

TApplication::TApplication() = default;

TApplication& Application()
{
    static TApplication app;
    return app;
}

void TApplication::SetTitle(const std::string& title)
{
    title_ = title;
    if (mainForm_)
        mainForm_->setWindowTitle(QString::fromStdString(title_));
}

void TApplication::SetMainForm(QWidget* form)
{
    mainForm_ = form;
    if (mainForm_)
        mainForm_->setWindowTitle(QString::fromStdString(title_));
}

void ErrorBox(const std::string& text, const std::string& details)
{
    if (!details.empty())
        std::fprintf(stderr, "%s\n", ReasonLine(text, details).c_str());
    ModalRequest request;
    request.kind = ModalKind::MessageBox;
    request.text = text;
    request.details = details;
    request.caption = "Error";
    request.flags = MB_OK | MB_ICONERROR;
    Interact(request);
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Minimize()
{
    if (mainForm_)
        mainForm_->showMinimized();
}

void TApplication::Beep()
{
    QApplication::beep();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    ModalRequest request;
    request.kind = ModalKind::MessageBox;
    request.text = text;
    request.caption = caption;
    request.flags = flags;
    return Interact(request).result;
}

void TApplication::ShowException(const std::string& message)
{
    ModalRequest request;
    request.kind = ModalKind::ErrorBox;
    request.text = message;
    request.caption = title_;
    request.flags = MB_OK | MB_ICONERROR;
    Interact(request);
}

void TApplication::InstallIdleHook()
{
    if (idleHooked_)
        return;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    // aboutToBlock comes when the loop has nothing left to do and is about to wait: that is
    // the moment the queue has become empty.
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TApplication::Idle);
    idleHooked_ = true;
}

void TApplication::Idle()
{
    if (inIdle_ || !OnIdle)
        return;
    inIdle_ = true;
    Guarded(OnIdle);
    inIdle_ = false;
}

} // namespace framework
