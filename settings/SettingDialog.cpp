#include "SettingDialog.h"

#include "framework/DialogControls.h"
#include "framework/HandlerGuard.h"
#include "framework/Label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <climits>
#include <vector>

using framework::Check;
using framework::PlainText;
using framework::Radio;
using framework::SetChecked;
using framework::Spin;

namespace {
// Modal results of the two buttons.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

const char* const PageNames[] = {"General", "Auto Pause", "Auto Name", "Auto Stop", "Input"};
const char* const SampleRates[] = {"8000", "11025", "22050", "44100"};
// MPEG-1 Layer III bitrates (44100) and those of MPEG-2 Layer III (the lower rates), kbit/s.
const char* const Mp3Rates44100[] = {"32", "40", "48", "56", "64", "80", "96", "112", "128", "160", "192", "224",
    "256", "320"};
const char* const Mp3RatesLower[] = {"8", "16", "24", "32", "40", "48", "56", "64", "80", "96", "112", "128", "144",
    "160"};

// Where the WMA formats go while the library enumerates them: its callback has no context.
QTreeWidget* wmaFormatList = nullptr;

// The library's callback, once per WMA format, before EnumWMAFormat returns.
void AddWmaFormat(int32_t bitrate, int32_t channels, int32_t sampleRate)
{
    if (!wmaFormatList)
        return;
    const QStringList texts{QString::number(WmaKbps(static_cast<uint32_t>(bitrate))),
        channels == 1 ? QStringLiteral("mono") : QStringLiteral("stereo"), QString::number(sampleRate)};
    for (int i = 0; i < wmaFormatList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = wmaFormatList->topLevelItem(i);
        if (row->text(0) == texts[0] && row->text(1) == texts[1] && row->text(2) == texts[2])
            return;
    }
    wmaFormatList->addTopLevelItem(new QTreeWidgetItem(texts));
}

void FillItems(QComboBox* box, const char* const* items, size_t count)
{
    box->clear();
    for (size_t i = 0; i < count; ++i)
        box->addItem(QString::fromLatin1(items[i]));
}

void SelectText(QComboBox* box, int32_t value)
{
    box->setCurrentIndex(box->findText(QString::number(value)));
}

// Where a page's controls start, below its title.
constexpr int PageTop = 26;
constexpr int PageWidth = 280;
} // namespace

int32_t WmaKbps(uint32_t bitsPerSecond)
{
    uint32_t kbps = bitsPerSecond / 1000;
    const uint32_t rest = bitsPerSecond % 1000;
    if (rest > 500 || (rest == 500 && kbps % 2 == 1))
        ++kbps;
    return static_cast<int32_t>(kbps);
}

TfmSet::TfmSet(QWidget* owner, RecorderSettings& settings, WmaFormatList wmaFormats, TInputPage::WatchFactory inputs)
    : TForm(owner), settings_(settings), wmaFormats_(wmaFormats)
{
    setObjectName("fmSet");
    setWindowTitle("Setting");
    // A fixed dialog border with a title but no system menu, so no close box either.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(433, 269);
    setFont(framework::SkinFont());

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setGeometry(8, 8, 129, 220);
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    for (const char* name : PageNames)
        TreeView1->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromLatin1(name)}));

    Notebook2 = new QStackedWidget(this);
    Notebook2->setObjectName("Notebook2");
    Notebook2->setGeometry(145, 8, PageWidth, 220);
    std::array<QWidget*, std::size(PageNames)> pages{};
    for (size_t i = 0; i < pages.size(); ++i) {
        pages[i] = new QWidget(Notebook2);
        pages[i]->setObjectName(QString::fromLatin1(PageNames[i]));
        Notebook2->addWidget(pages[i]);
        // White on green, as a heading across the page.
        PageTitles[i] = new QLabel(QString::fromLatin1(PageNames[i]), pages[i]);
        PageTitles[i]->setObjectName(QString("lbTitle%1").arg(i + 1));
        PageTitles[i]->setGeometry(0, 0, PageWidth, 20);
        PageTitles[i]->setIndent(4);
        PageTitles[i]->setAutoFillBackground(true);
        QPalette colours = PageTitles[i]->palette();
        colours.setColor(QPalette::Window, QColor(0, 128, 0));
        colours.setColor(QPalette::WindowText, Qt::white);
        PageTitles[i]->setPalette(colours);
        QFont bold = PageTitles[i]->font();
        bold.setBold(true);
        bold.setPixelSize(12);
        PageTitles[i]->setFont(bold);
    }

    // General: the format buttons above the two parts, of which one is shown.
    QWidget* general = pages[0];
    rbUseWMA = Radio(general, "rbUseWMA", "Use WMA as recording format", 4, PageTop, 270);
    rbUseMP3 = Radio(general, "rbUseMP3", "Use MP3 as recording format", 4, PageTop + 20, 270);
    rbUseWAV = Radio(general, "rbUseWAV", "Use WAV as recording format", 4, PageTop + 40, 270);
    Notebook1 = new QStackedWidget(general);
    Notebook1->setObjectName("Notebook1");
    Notebook1->setGeometry(0, PageTop + 64, PageWidth, 220 - PageTop - 64);
    auto* mp3Wav = new QWidget(Notebook1);
    mp3Wav->setObjectName("MP3WAV");
    auto* wma = new QWidget(Notebook1);
    wma->setObjectName("WMA");
    Notebook1->addWidget(mp3Wav);
    Notebook1->addWidget(wma);

    PlainText(mp3Wav, "Sampling Per Second", 4, 4);
    cbSampleRate = new QComboBox(mp3Wav);
    cbSampleRate->setObjectName("cbSampleRate");
    cbSampleRate->setGeometry(4, 20, 120, 21);
    auto* mp3RateLabel = new QLabel("MP3 Bitrate(kbps)", mp3Wav);
    mp3RateLabel->move(4, 54);
    mp3RateLabel->adjustSize();
    lbMP3Rate = mp3RateLabel;
    cbMP3Rate = new QComboBox(mp3Wav);
    cbMP3Rate->setObjectName("cbMP3Rate");
    cbMP3Rate->setGeometry(4, 70, 120, 21);
    gbChannels = new QGroupBox("Channels", mp3Wav);
    gbChannels->setObjectName("gbChannels");
    gbChannels->setGeometry(150, 4, 120, 87);
    rbStereo = Radio(gbChannels, "rbStereo", "Stereo", 12, 26, 100);
    rbMono = Radio(gbChannels, "rbMono", "Mono", 12, 52, 100);

    lvWMAFormat = new QTreeWidget(wma);
    lvWMAFormat->setObjectName("lvWMAFormat");
    lvWMAFormat->setGeometry(0, 0, PageWidth, Notebook1->height());
    lvWMAFormat->setRootIsDecorated(false);
    lvWMAFormat->setAllColumnsShowFocus(true);
    lvWMAFormat->setSelectionMode(QAbstractItemView::SingleSelection);
    lvWMAFormat->setHeaderLabels({"Bitrate(kbps)", "Channels", "SamplePerSecond"});
    lvWMAFormat->setColumnWidth(0, 80);
    lvWMAFormat->setColumnWidth(1, 60);
    lvWMAFormat->setColumnWidth(2, 120);

    // Auto Pause
    QWidget* autoPause = pages[1];
    cbEnableAutoPause = Check(autoPause, "cbEnableAutoPause", "Enable Auto Pause Function", 4, PageTop + 4, 270);
    int right = PlainText(autoPause, "When the Sound Level is Lower than", 4, PageTop + 38);
    seLowerLevel = Spin(autoPause, "seLowerLevel", 0, 100, right + 4, PageTop + 34);
    PlainText(autoPause, "%", right + 60, PageTop + 38);
    right = PlainText(autoPause, "For ", 4, PageTop + 66);
    seLowerTime = Spin(autoPause, "seLowerTime", 0, INT_MAX, right + 4, PageTop + 62);
    PlainText(autoPause, "Seconds,", right + 60, PageTop + 66);
    PlainText(autoPause, "It Will Pause Automatically.", 4, PageTop + 90);
    right = PlainText(autoPause, "When the Sound Level is Louder than ", 4, PageTop + 128);
    seLouderLevel = Spin(autoPause, "seLouderLevel", 0, 100, right + 4, PageTop + 124);
    PlainText(autoPause, "%,", right + 60, PageTop + 128);
    PlainText(autoPause, "It Will Start Automatically.", 4, PageTop + 152);

    // Auto Name
    QWidget* autoName = pages[2];
    cbEnableAutoName = Check(autoName, "cbEnableAutoName", "Enable Auto Name", 4, PageTop + 4, 270);
    cbYear = Check(autoName, "cbYear", "Year", 20, PageTop + 36, 80);
    cbMonth = Check(autoName, "cbMonth", "Month", 100, PageTop + 36, 80);
    cbDay = Check(autoName, "cbDay", "Day", 180, PageTop + 36, 80);
    cbHour = Check(autoName, "cbHour", "Hour", 20, PageTop + 60, 80);
    cbMinute = Check(autoName, "cbMinute", "Minute", 100, PageTop + 60, 80);
    cbSecond = Check(autoName, "cbSecond", "Second", 180, PageTop + 60, 80);
    right = PlainText(autoName, "Save To", 4, PageTop + 102);
    Edit1 = new QLineEdit(autoName);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(right + 6, PageTop + 98, PageWidth - right - 6 - 30, 21);
    SpeedButton1 = new QToolButton(autoName);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setText("..");
    SpeedButton1->setGeometry(PageWidth - 26, PageTop + 98, 24, 21);
    FolderBrowser1 = new settings::TFolderBrowser(this, "FolderBrowser1");

    // Auto Stop
    QWidget* autoStop = pages[3];
    cbAutoStop = Check(autoStop, "cbAutoStop", "Auto Stop After", 4, PageTop + 4, 270);
    seHour = Spin(autoStop, "seHour", 0, INT_MAX, 20, PageTop + 34);
    PlainText(autoStop, "Hour", 78, PageTop + 38);
    seMinute = Spin(autoStop, "seMinute", 0, 59, 20, PageTop + 62);
    PlainText(autoStop, "Minute", 78, PageTop + 66);
    seSecond = Spin(autoStop, "seSecond", 0, 59, 20, PageTop + 90);
    PlainText(autoStop, "Second", 78, PageTop + 94);

    // Input
    InputPage = new TInputPage(pages[4], QRect(0, PageTop, PageWidth, 220 - PageTop), settings_.Input, std::move(inputs));

    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(270, 236, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(350, 236, 75, 25);

    // The design's state before the settings come in.
    rbUseWMA->setChecked(true);
    Notebook1->setCurrentWidget(wma);
    Notebook2->setCurrentIndex(0);

    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, [this] { framework::Guarded([this] { TreeView1Change(); }); });
    for (QRadioButton* format : {rbUseWMA, rbUseMP3, rbUseWAV})
        connect(format, &QRadioButton::toggled, this, [this] { framework::Guarded([this] { rbUseWMAClick(); }); });
    connect(cbSampleRate, &QComboBox::currentIndexChanged, this,
        [this] { framework::Guarded([this] { cbSampleRateChange(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { framework::Guarded([this] { SpeedButton1Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { framework::Guarded([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { framework::Guarded([this] { BitBtn2Click(); }); });
    DefaultButton = BitBtn1;
    CancelButton = BitBtn2;

    FormCreate();
    if (owner)
        move(owner->geometry().center() - rect().center());
}

void TfmSet::FormCreate()
{
    const RecordingFormat& format = settings_.Format;
    FillItems(cbSampleRate, SampleRates, std::size(SampleRates));
    cbSampleRate->setCurrentIndex(0);
    SelectText(cbSampleRate, format.SampleRate);
    cbSampleRateChange();
    SelectText(cbMP3Rate, format.Mp3Rate);
    SetChecked(rbMono, format.Channels == 1);
    SetChecked(rbStereo, format.Channels == 2);
    // BufferNumber and BufferSize have no control; OK leaves them as they are.
    if (format.RecordType == 0)
        rbUseWAV->setChecked(true);
    if (format.RecordType == 1)
        rbUseMP3->setChecked(true);

    const AutoPauseSettings& pause = settings_.AutoPause;
    cbEnableAutoPause->setChecked(pause.Enable);
    seLowerLevel->SetValue(pause.LowerLevel);
    seLowerTime->SetValue(pause.LowerTime);
    seLouderLevel->SetValue(pause.LouderLevel);
    const AutoNameSettings& name = settings_.AutoName;
    cbEnableAutoName->setChecked(name.Enable);
    cbYear->setChecked(name.Year);
    cbMonth->setChecked(name.Month);
    cbDay->setChecked(name.Day);
    cbHour->setChecked(name.Hour);
    cbMinute->setChecked(name.Minute);
    cbSecond->setChecked(name.Second);
    Edit1->setText(QString::fromStdString(name.Path));
    const AutoStopSettings& stop = settings_.AutoStop;
    cbAutoStop->setChecked(stop.Enable);
    seHour->SetValue(stop.Hour);
    seMinute->SetValue(stop.Minute);
    seSecond->SetValue(stop.Second);

    SetChecked(rbUseWMA, format.UseWma);
    rbUseWMAClick();
    FillWmaFormats();
}

void TfmSet::FillWmaFormats()
{
    const RecordingFormat& format = settings_.Format;
    lvWMAFormat->clear();
    wmaFormatList = lvWMAFormat;
    if (wmaFormats_)
        wmaFormats_(&AddWmaFormat);
    wmaFormatList = nullptr;

    std::vector<QTreeWidgetItem*> rows;
    while (lvWMAFormat->topLevelItemCount() > 0)
        rows.push_back(lvWMAFormat->takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(),
        [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) { return lvWMAFormatCompare(a, b) < 0; });
    for (QTreeWidgetItem* row : rows)
        lvWMAFormat->addTopLevelItem(row);

    for (QTreeWidgetItem* row : rows) {
        const int channels = row->text(1) == "mono" ? 1 : 2;
        if (row->text(2).toInt() == format.WmaSamplePerSec && channels == format.WmaChannels
            && row->text(0).toInt() == format.WmaBitrate) {
            lvWMAFormat->setCurrentItem(row);
            lvWMAFormat->scrollToItem(row);
            break;
        }
    }
}

void TfmSet::ShowPage(const char* name)
{
    const QList<QTreeWidgetItem*> nodes = TreeView1->findItems(QString::fromLatin1(name), Qt::MatchExactly);
    if (!nodes.isEmpty())
        TreeView1->setCurrentItem(nodes.first());
}

void TfmSet::TreeView1Change()
{
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text(0);
    for (int i = 0; i < Notebook2->count(); ++i)
        if (Notebook2->widget(i)->objectName() == name)
            Notebook2->setCurrentIndex(i);
}

void TfmSet::rbUseWMAClick()
{
    Notebook1->setCurrentIndex(rbUseWMA->isChecked() ? 1 : 0);
    const bool bitrate = !rbUseWAV->isChecked();
    lbMP3Rate->setVisible(bitrate);
    cbMP3Rate->setVisible(bitrate);
}

void TfmSet::cbSampleRateChange()
{
    if (cbSampleRate->currentText() == "44100")
        FillItems(cbMP3Rate, Mp3Rates44100, std::size(Mp3Rates44100));
    else
        FillItems(cbMP3Rate, Mp3RatesLower, std::size(Mp3RatesLower));
    cbMP3Rate->setCurrentIndex(0);
}

int TfmSet::lvWMAFormatCompare(const QTreeWidgetItem* item1, const QTreeWidgetItem* item2)
{
    const int a = item1->text(0).toInt();
    const int b = item2->text(0).toInt();
    return a < b ? -1 : (a > b ? 1 : 0);
}

void TfmSet::SpeedButton1Click()
{
    // The browser opens on the Save To folder when there is one, not collapsed at its root.
    FolderBrowser1->ReturnPath = Edit1->text().toStdString();
    if (FolderBrowser1->Execute())
        Edit1->setText(QString::fromStdString(FolderBrowser1->ReturnPath));
}

void TfmSet::BitBtn1Click()
{
    RecordingFormat& format = settings_.Format;
    // A rate that the lists do not offer (set.ini edited by hand) leaves its list without a
    // selection; the old value is kept rather than losing the other settings.
    if (cbSampleRate->currentIndex() >= 0)
        format.SampleRate = cbSampleRate->currentText().toInt();
    if (cbMP3Rate->currentIndex() >= 0)
        format.Mp3Rate = cbMP3Rate->currentText().toInt();
    if (rbMono->isChecked())
        format.Channels = 1;
    if (rbStereo->isChecked())
        format.Channels = 2;
    if (rbUseWAV->isChecked())
        format.RecordType = 0;
    if (rbUseMP3->isChecked())
        format.RecordType = 1;

    AutoPauseSettings& pause = settings_.AutoPause;
    pause.Enable = cbEnableAutoPause->isChecked();
    pause.LowerLevel = seLowerLevel->Value();
    pause.LowerTime = seLowerTime->Value();
    pause.LouderLevel = seLouderLevel->Value();
    AutoNameSettings& name = settings_.AutoName;
    name.Enable = cbEnableAutoName->isChecked();
    name.Year = cbYear->isChecked();
    name.Month = cbMonth->isChecked();
    name.Day = cbDay->isChecked();
    name.Hour = cbHour->isChecked();
    name.Minute = cbMinute->isChecked();
    name.Second = cbSecond->isChecked();
    // Untouched, a folder whose name is not UTF-8 keeps its bytes.
    if (Edit1->text() != QString::fromStdString(name.Path))
        name.Path = Edit1->text().toStdString();
    AutoStopSettings& stop = settings_.AutoStop;
    stop.Enable = cbAutoStop->isChecked();
    stop.Hour = seHour->Value();
    stop.Minute = seMinute->Value();
    stop.Second = seSecond->Value();

    format.UseWma = rbUseWMA->isChecked();
    const QList<QTreeWidgetItem*> selected = lvWMAFormat->selectedItems();
    if (format.UseWma && !selected.isEmpty()) {
        const QTreeWidgetItem* row = selected.first();
        format.WmaSamplePerSec = row->text(2).toInt();
        format.WmaChannels = row->text(1) == "mono" ? 1 : 2;
        format.WmaBitrate = row->text(0).toInt();
    }
    settings_.Input = InputPage->Chosen();
    SetModalResult(mrOk);
    Close();
}

void TfmSet::BitBtn2Click()
{
    SetModalResult(mrCancel);
    Close();
}
