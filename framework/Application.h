#pragma once
// The application object: the title (the text of the taskbar entry), the idle notification,
// processing pending messages, minimizing, message boxes and the standard error box.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace framework {

class TApplication : public QObject {
    Q_OBJECT
public:
    TApplication();

    // The taskbar text; shown as the main form's window title.
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    // The window whose title follows Title and which Minimize minimizes.
    void SetMainForm(QWidget* form);
    QWidget* MainForm() const { return mainForm_; }

    // The command-line arguments after the program's name (main sets them; tests their own).
    std::vector<std::string> Params;
    // Argument i counted from 1, or empty when there is none.
    std::string ParamStr(size_t i) const { return i >= 1 && i <= Params.size() ? Params[i - 1] : std::string(); }

    // Runs whenever the message queue has become empty, before the loop waits for input.
    std::function<void()> OnIdle;

    // Handles every pending message, then returns.
    void ProcessMessages();
    // Minimizes the main form (restoring it from the taskbar shows it again).
    void Minimize();
    // The desktop's beep.
    void Beep();

    // A modal message box with MB_* flags; answers IDOK, IDYES, IDNO or IDCANCEL.
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
    // The standard error box: the message, captioned with the title, error icon, OK.
    void ShowException(const std::string& message);

    // Starts delivering OnIdle; called once the Qt application object exists.
    void InstallIdleHook();

private:
    void Idle();

    std::string title_;
    QWidget* mainForm_ = nullptr;
    bool inIdle_ = false;
    bool idleHooked_ = false;
};

// The one application object of the process.
TApplication& Application();

// A box captioned "Error" with the error icon and OK: how the subsystems refuse a command.
// details, when given, is the reason a library gave: the box shows it under "Show
// Details...", and it goes to stderr with the box's first line.
void ErrorBox(const std::string& text, const std::string& details = {});

} // namespace framework
