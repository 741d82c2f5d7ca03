#pragma once
// TfmSet, the settings dialog: the recording format, auto pause, auto name, auto stop and the input.
// It copies the settings into its controls when it is created and back only on OK. Lives
// for one opening; the WMA formats are asked from the recording library every time.
#include "engines/record/RecordApi.h"
#include "framework/Form.h"
#include "framework/SpinEdit.h"
#include "settings/FolderBrowser.h"
#include "settings/InputPage.h"
#include "settings/RecorderSettings.h"

#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TfmSet : public framework::TForm {
    Q_OBJECT
public:
    // The recording library's list of its WMA formats: calls back once per format before it
    // returns. Null lists none.
    using WmaFormatList = void (*)(WmaFormatCallback);

    // Centred on the owner; shows `settings` and writes them back on OK. The settings must
    // outlive the dialog. inputs opens the watch of the sound server's inputs for the Input
    // page; without it the page offers the default input only.
    TfmSet(QWidget* owner, RecorderSettings& settings, WmaFormatList wmaFormats,
        TInputPage::WatchFactory inputs = nullptr);

    QTreeWidget* TreeView1 = nullptr; // the five page names; none selected at first
    QStackedWidget* Notebook2 = nullptr; // the pages, each named like its node
    QStackedWidget* Notebook1 = nullptr; // the General page's parts "MP3WAV" and "WMA"
    std::array<QLabel*, 5> PageTitles{}; // each page's name, white on green

    // General
    QRadioButton* rbUseWMA = nullptr;
    QRadioButton* rbUseMP3 = nullptr;
    QRadioButton* rbUseWAV = nullptr;
    QComboBox* cbSampleRate = nullptr;
    QWidget* lbMP3Rate = nullptr; // "MP3 Bitrate(kbps)", hidden with cbMP3Rate for WAV
    QComboBox* cbMP3Rate = nullptr;
    QGroupBox* gbChannels = nullptr;
    QRadioButton* rbStereo = nullptr;
    QRadioButton* rbMono = nullptr;
    QTreeWidget* lvWMAFormat = nullptr; // rows of bitrate (kbit/s), "mono"/"stereo", samples/s

    // Auto Pause
    QCheckBox* cbEnableAutoPause = nullptr;
    framework::TSpinEdit* seLowerLevel = nullptr;
    framework::TSpinEdit* seLowerTime = nullptr;
    framework::TSpinEdit* seLouderLevel = nullptr;

    // Auto Name
    QCheckBox* cbEnableAutoName = nullptr;
    QCheckBox* cbYear = nullptr;
    QCheckBox* cbMonth = nullptr;
    QCheckBox* cbDay = nullptr;
    QCheckBox* cbHour = nullptr;
    QCheckBox* cbMinute = nullptr;
    QCheckBox* cbSecond = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    settings::TFolderBrowser* FolderBrowser1 = nullptr; // default properties; keeps its last folder

    // Auto Stop
    QCheckBox* cbAutoStop = nullptr;
    framework::TSpinEdit* seHour = nullptr;
    framework::TSpinEdit* seMinute = nullptr;
    framework::TSpinEdit* seSecond = nullptr;

    // Input
    TInputPage* InputPage = nullptr;

    QPushButton* BitBtn1 = nullptr; // OK, the default button
    QPushButton* BitBtn2 = nullptr; // Cancel, also Esc

    void FormCreate();
    // Opens on the page of this name, its node selected.
    void ShowPage(const char* name);
    void TreeView1Change();
    void rbUseWMAClick();
    void cbSampleRateChange();
    // Sort order of the WMA list: the two rows' bitrates as integers; -1, 0 or 1.
    static int lvWMAFormatCompare(const QTreeWidgetItem* item1, const QTreeWidgetItem* item2);
    void SpeedButton1Click();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    void FillWmaFormats();

    RecorderSettings& settings_;
    WmaFormatList wmaFormats_;
};

// The bitrate column's text: bit/s to kbit/s, rounded to the nearest with halves to even.
int32_t WmaKbps(uint32_t bitsPerSecond);
