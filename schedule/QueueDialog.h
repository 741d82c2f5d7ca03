#pragma once
// TfmQueue, the queue editor: the scheduled recordings listed, added, changed and deleted, and
// the whole schedule switched off. It edits a copy held in its own list; the queue takes the
// copy only when the dialog is left by Close (or Esc), never by the close box. Nothing is
// written to set.ini here. Lives for one opening, on the window thread.
#include "framework/Form.h"
#include "framework/SaveDialog.h"
#include "framework/SpinEdit.h"
#include "settings/RecordingQueue.h"

#include <string>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QPushButton;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TfmQueue : public framework::TForm {
    Q_OBJECT
public:
    // Client heights with the detail panel shown and hidden; the width is 513.
    static constexpr int PanelShownHeight = 350;
    static constexpr int PanelHiddenHeight = 167;

    // Centred on the owner. The queue and the save dialog (the main window's, which keeps the
    // name last chosen in it) must outlive the dialog.
    TfmQueue(QWidget* owner, RecordingQueue& queue, framework::TSaveDialog& saveDialog);

    // One row per entry: Date as the caption, then StartTime, LengthTime, TargetFile. One row
    // selected at most.
    QTreeWidget* lvQueue = nullptr;
    QWidget* Panel1 = nullptr; // the detail panel below the list

    QRadioButton* rbOneDay = nullptr;
    QRadioButton* rbWeekDay = nullptr;
    QRadioButton* rbEveryDay = nullptr;
    QDateEdit* Date = nullptr;      // OneDay only; the locale's short date format
    QComboBox* cbWeekDay = nullptr; // EveryWeekDay only, in the picker's place; "Monday" is 0

    framework::TSpinEdit* StartHour = nullptr;
    framework::TSpinEdit* StartMinute = nullptr;
    framework::TSpinEdit* StartSecond = nullptr;
    framework::TSpinEdit* LengthHour = nullptr;
    framework::TSpinEdit* LengthMinute = nullptr;
    framework::TSpinEdit* LengthSecond = nullptr;

    QLineEdit* edTargetFile = nullptr;
    QToolButton* SpeedButton1 = nullptr; // ".."
    QCheckBox* cbUseAutoName = nullptr;
    QRadioButton* rbWAV = nullptr;
    QRadioButton* rbMP3 = nullptr;
    QRadioButton* rbWMA = nullptr;

    QCheckBox* cbDisableQueue = nullptr;
    QPushButton* btnNew = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnClose = nullptr;    // also Esc; closes with the OK result
    QPushButton* btnAdvanced = nullptr; // "<<" while the panel is shown, ">>" while hidden

    void FormCreate();
    void btnAdvancedClick();
    // Every change of selection: the panel loads the selected row, or hides with none.
    void lvQueueSelectItem();
    void btnNewClick();
    void btnDeleteClick();
    // The date mode rule, for all three date buttons.
    void rbOneDayClick();
    void DateChange();
    void cbWeekDayChange();
    // The time rule, for all six time edits.
    void StartHourChange();
    void edTargetFileChange();
    void cbUseAutoNameClick();
    // The type rule, for all three type buttons.
    void rbWAVClick();
    void SpeedButton1Click();
    void btnCloseClick();

    // The default target of a new row: the home folder's myrecord.wma.
    static std::string DefaultTargetFile(const std::string& extension = ".wma");

protected:

private:
    QTreeWidgetItem* SelectedRow() const;
    bool PanelShown() const;
    void LoadDate(const std::string& date);
    void LoadTarget(const std::string& target);
    // "WAV", "MP3" or "WMA" after the checked type button.
    std::string TypeName() const;
    // ".wav", ".mp3" or ".wma" after the checked type button.
    std::string TypeExtension() const;
    // Writes one column of the selected row; nothing when no row is selected.
    void WriteColumn(int column, const std::string& text);

    RecordingQueue& queue_;
    framework::TSaveDialog& saveDialog_;
    // Set while the panel loads a row, so that nothing writes back to the row.
    bool loading_ = false;
};
