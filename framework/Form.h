#pragma once
// A top-level window: posted window messages dispatched to registered handlers, the
// create / close-query / close events, and ShowModal with a modal result.
#include "Messages.h"

#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <unordered_map>

class QAbstractButton;
class QEventLoop;

namespace framework {

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // Queues a message for this form's thread. Safe from any thread; messages are handled
    // one at a time, in the order they were posted.
    void PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam);

    // The handler of one message number (one per number; a later one replaces it).
    void OnMessage(uint32_t msg, std::function<void(TMessage&)> handler);

    // Close-query: set the flag false to refuse the close. Close: runs when it proceeds.
    std::function<void(bool& canClose)> OnCloseQuery;
    std::function<void()> OnClose;

    // Runs the close sequence, as the system's close request does.
    void Close() { close(); }

    // Shows the form modally until ModalResult becomes non-zero or it closes; answers the
    // modal result (0 when it was closed without one). Through the interaction hook.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);

    // A form is no dialog box to Qt: Enter clicks the push button that has the focus, else the
    // default button, and Esc the cancel button, where the form names them (both may be the
    // same button).
    QAbstractButton* DefaultButton = nullptr;
    QAbstractButton* CancelButton = nullptr;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool TakePostedMessage(TMessage& message);

    std::unordered_map<uint32_t, std::function<void(TMessage&)>> handlers_;
    std::mutex postedMutex_;
    std::deque<TMessage> posted_; // posted, not yet handled, oldest first
    bool announced_ = false;       // an event for them is on its way
    int modalResult_ = 0;
    QEventLoop* modalLoop_ = nullptr;
};

} // namespace framework
