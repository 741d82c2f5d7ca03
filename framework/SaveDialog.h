#pragma once
// The save dialog: a title, a filter ("Description|*.ext"), a proposed file name; Execute
// shows it modally through the interaction hook and answers whether the user accepted a name.
// It never adds an extension and never asks about existing files.
#include "Component.h"

#include <string>

namespace framework {

class TSaveDialog : public TComponent {
    Q_OBJECT
public:
    explicit TSaveDialog(QObject* owner = nullptr, const std::string& name = {});

    std::string FileName;   // the proposed name before, the chosen path after an accepted Execute
    std::string Title;
    std::string Filter;     // "Description|*.ext", pairs joined by '|'
    std::string InitialDir;

    bool Execute();
};

// Qt's filter text for a "Description|*.ext|..." filter: "Description (*.ext);;...".
std::string QtFilterOf(const std::string& filter);

} // namespace framework
