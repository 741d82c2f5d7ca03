#pragma once
// The Input page of the settings: the default input, then every input of the sound server
// (the monitors of its outputs among them), each with its live level while the page is
// shown, so the user sees which input carries sound. The list is read and the levels watched
// each time the page is shown; the watch ends when the page is left or the dialog closes.
#include "platform/InputLevelWatch.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QTimer;
class QTreeWidget;
class TInputLevelBar;

// A level bar's filling for a peak of 0 to 1: -60 dB and below empty, full scale full,
// evenly in dB between.
double InputBarFraction(float peak);

// The first row's text: "Default input (<the default's description>)", or "Default input"
// when the server names none.
std::string DefaultInputText(const std::string& description);

class TInputPage : public QWidget {
    Q_OBJECT
public:
    // Opens a watch of the sound server's inputs; null or a null answer: no server.
    using WatchFactory = std::function<std::unique_ptr<platform::InputLevelWatch>()>;

    // Fills `area` of the page; chosen is the input of the settings ("" the default).
    TInputPage(QWidget* page, const QRect& area, std::string chosen, WatchFactory watch);
    ~TInputPage() override;

    QTreeWidget* lvInput = nullptr; // rows: text, then the level bar; the row's source name as data

    // The chosen row's source name ("" the default); the setting's own until the list was shown.
    std::string Chosen() const;
    // The level bar of a row.
    TInputLevelBar* Bar(int row) const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Reads the inputs, lists them with the chosen one selected, and watches their levels.
    void Fill();
    void ShowLevels();

    std::string chosen_;
    WatchFactory openWatch_;
    std::unique_ptr<platform::InputLevelWatch> watch_;
    QTimer* levelTimer_ = nullptr;
};
