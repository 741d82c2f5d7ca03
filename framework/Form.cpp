#include "Form.h"

#include "HandlerGuard.h"
#include "Interaction.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>

namespace framework {
namespace {
// Tells the form that messages wait in its queue.
const QEvent::Type PostedMessagesType = static_cast<QEvent::Type>(QEvent::registerEventType());
} // namespace

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {}

TForm::~TForm()
{
    if (modalLoop_)
        modalLoop_->exit();
}

void TForm::PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    TMessage message;
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    // A burst of messages (a captured fragment's levels) wakes the window's thread once:
    // only the first of them, while none is announced, posts an event.
    std::lock_guard lock(postedMutex_);
    posted_.push_back(message);
    if (!announced_) {
        announced_ = true;
        QCoreApplication::postEvent(this, new QEvent(PostedMessagesType));
    }
}

bool TForm::TakePostedMessage(TMessage& message)
{
    std::lock_guard lock(postedMutex_);
    if (posted_.empty())
        return false;
    message = posted_.front();
    posted_.pop_front();
    return true;
}

void TForm::OnMessage(uint32_t msg, std::function<void(TMessage&)> handler)
{
    handlers_[msg] = std::move(handler);
}

bool TForm::event(QEvent* event)
{
    if (event->type() != PostedMessagesType)
        return QWidget::event(event);
    {
        std::lock_guard lock(postedMutex_);
        announced_ = false;
    }
    // One at a time from the queue, so that a handler that runs a modal loop leaves the rest
    // to the loop's own turn, still in order.
    TMessage message;
    while (TakePostedMessage(message)) {
        const auto found = handlers_.find(message.Msg);
        if (found != handlers_.end())
            Guarded([&] { found->second(message); });
    }
    return true;
}

void TForm::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // A push button that has the focus takes Enter itself: Enter on a focused Cancel cancels.
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QAbstractButton* button = enter && focused && focused->isEnabled() ? focused
        : enter                                                      ? DefaultButton
        : key == Qt::Key_Escape                                      ? CancelButton
                                                                     : nullptr;
    if (!button) {
        QWidget::keyPressEvent(event);
        return;
    }
    button->click();
}

void TForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    if (OnCloseQuery)
        Guarded([&] { OnCloseQuery(canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    if (OnClose)
        Guarded(OnClose);
    event->accept();
    if (modalLoop_)
        modalLoop_->exit();
}

void TForm::SetModalResult(int result)
{
    modalResult_ = result;
    if (result != 0 && modalLoop_)
        modalLoop_->exit();
}

int TForm::ShowModal()
{
    modalResult_ = 0;
    ModalRequest request;
    request.kind = ModalKind::ShowModal;
    request.text = windowTitle().toStdString();
    request.form = this;
    const ModalAnswer answer = Interact(request, [this] {
        setWindowModality(Qt::ApplicationModal);
        show();
        QEventLoop loop;
        modalLoop_ = &loop;
        if (modalResult_ == 0)
            loop.exec();
        modalLoop_ = nullptr;
        hide();
        return ModalAnswer{modalResult_, {}};
    });
    modalResult_ = answer.result;
    return answer.result;
}

} // namespace framework
