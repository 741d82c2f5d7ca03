#pragma once
// The one road of every modal interaction: message boxes, the standard error box, file and
// folder dialogs, and ShowModal of a form. The program asks through Interact; with no hook
// set the real dialog runs, and a test sets a hook that answers instead (no test ever waits
// on a dialog).
#include <functional>
#include <string>

class QWidget;

namespace framework {

enum class ModalKind { MessageBox, ErrorBox, SaveDialog, FolderDialog, ShowModal, PopupMenu };

struct ModalRequest {
    ModalKind kind = ModalKind::MessageBox;
    std::string text;    // message text; for dialogs, the title
    std::string caption; // message box caption
    std::string details; // a message box's detailed text (a library's reason), may be empty
    unsigned flags = 0;  // MB_* for message boxes
    // Save dialog: filter in the "Description|*.ext" form, proposed name and folder.
    std::string filter;
    std::string fileName;
    std::string initialDir;
    QWidget* form = nullptr; // ShowModal: the form being shown
    int x = 0, y = 0;        // PopupMenu: the screen position; text is the menu's name
};

struct ModalAnswer {
    int result = 0;   // IDOK/IDYES/IDNO/IDCANCEL, a form's modal result, or a pop-up menu's
                      // chosen entry (its position plus one); 0 = dismissed
    std::string path; // the file or folder chosen (dialogs)
};

using InteractionHook = std::function<ModalAnswer(const ModalRequest&)>;

// Installs the hook (tests); an empty hook restores the real dialogs.
void SetInteractionHook(InteractionHook hook);

// Answers a message box or error box through the hook or the real box. Window thread only.
ModalAnswer Interact(const ModalRequest& request);

// Answers any request through the hook, or else by running `real` (the real dialog or modal
// loop that the caller owns). Window thread only.
ModalAnswer Interact(const ModalRequest& request, const std::function<ModalAnswer()>& real);

} // namespace framework
