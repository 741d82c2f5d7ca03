#include "Form.h"

#include "HandlerGuard.h"
#include "Interaction.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

namespace framework {
namespace {
const QEvent::Type PostedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
public:
    explicit PostedMessage(const TMessage& message) : QEvent(PostedMessageType), message(message) {}
    TMessage message;
};
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
    QCoreApplication::postEvent(this, new PostedMessage(message));
}

void TForm::OnMessage(uint32_t msg, std::function<void(TMessage&)> handler)
{
    handlers_[msg] = std::move(handler);
}

bool TForm::event(QEvent* event)
{
    if (event->type() != PostedMessageType)
        return QWidget::event(event);
    auto& message = static_cast<PostedMessage*>(event)->message;
    const auto found = handlers_.find(message.Msg);
    if (found != handlers_.end())
        Guarded([&] { found->second(message); });
    return true;
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
