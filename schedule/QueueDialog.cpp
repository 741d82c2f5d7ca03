#include "QueueDialog.h"

#include "framework/Application.h"
#include "framework/DialogControls.h"
#include "framework/FlagWhile.h"
#include "framework/HandlerGuard.h"
#include "framework/Label.h"
#include "framework/Messages.h"
#include "platform/Files.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "settings/CommFunc.h"
#include "settings/SettingsStore.h"
#include "schedule/Due.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <array>

using framework::Check;
using framework::PlainText;
using framework::Radio;
using framework::Spin;

namespace {
constexpr int mrOk = 1;

// The row's columns.
constexpr int ColDate = 0;
constexpr int ColStartTime = 1;
constexpr int ColLengthTime = 2;
constexpr int ColTargetFile = 3;
constexpr int ColumnCount = 4;

// A row's column as the queue holds it: the bytes it came with while its text is unchanged
// (a name that is not UTF-8 comes back byte for byte), else the text.
std::string StoredText(const QTreeWidgetItem* row, int column)
{
    const QByteArray loaded = row->data(column, Qt::UserRole).toByteArray();
    if (!loaded.isNull() && QString::fromUtf8(loaded) == row->text(column))
        return loaded.toStdString();
    return row->text(column).toStdString();
}

QGroupBox* Group(QWidget* parent, const char* caption, int left, int top, int width, int height)
{
    auto* group = new QGroupBox(QString::fromLatin1(caption), parent);
    group->setGeometry(left, top, width, height);
    return group;
}

// Hour, minute and second edits, one below the other with their labels, in a group.
std::array<framework::TSpinEdit*, 3> TimeEdits(QGroupBox* group, const char* prefix)
{
    static constexpr std::array<const char*, 3> Parts = {"Hour", "Minute", "Second"};
    static constexpr std::array<int, 3> Ranges = {23, 59, 59};
    std::array<framework::TSpinEdit*, 3> edits{};
    for (size_t i = 0; i < edits.size(); ++i) {
        const int top = 20 + static_cast<int>(i) * 28;
        PlainText(group, Parts[i], 14, top + 3);
        const std::string name = std::string(prefix) + Parts[i];
        edits[i] = Spin(group, name.c_str(), 0, Ranges[i], 80, top);
    }
    return edits;
}

std::string TimeTextOf(const framework::TSpinEdit* h, const framework::TSpinEdit* m, const framework::TSpinEdit* s)
{
    return TimeText(h->Value(), m->Value(), s->Value());
}

void LoadTime(const std::string& text, framework::TSpinEdit* h, framework::TSpinEdit* m, framework::TSpinEdit* s)
{
    const TimeParts parts = ParseTimeText(text);
    h->SetValue(parts.Hours);
    m->SetValue(parts.Minutes);
    s->SetValue(parts.Seconds);
}

// Runs a handler as Qt's entry into the program's code.
template <class Handler>
auto Guard(TfmQueue* dialog, Handler handler)
{
    return [dialog, handler] { framework::Guarded([dialog, handler] { (dialog->*handler)(); }); };
}

} // namespace

std::string TfmQueue::DefaultTargetFile(const std::string& extension)
{
    return platform::HomeFolder() + "myrecord" + extension;
}

TfmQueue::TfmQueue(QWidget* owner, RecordingQueue& queue, framework::TSaveDialog& saveDialog)
    : TForm(owner), queue_(queue), saveDialog_(saveDialog)
{
    setObjectName("fmQueue");
    setWindowTitle("Queue");
    // A fixed dialog border with a close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(513, PanelShownHeight);
    setFont(framework::SkinFont());

    lvQueue = new QTreeWidget(this);
    lvQueue->setObjectName("lvQueue");
    lvQueue->setGeometry(8, 8, 497, 118);
    lvQueue->setRootIsDecorated(false);
    lvQueue->setAllColumnsShowFocus(true);
    lvQueue->setSelectionMode(QAbstractItemView::SingleSelection);
    lvQueue->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvQueue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvQueue->setHeaderLabels({"Date", "Start Time", "Record Length", "Target File"});
    const std::array<int, 4> widths = {100, 100, 100, 193};
    for (size_t column = 0; column < widths.size(); ++column)
        lvQueue->setColumnWidth(static_cast<int>(column), widths[column]);
    // The selection stays as visible when the list loses the focus.
    QPalette colours = lvQueue->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    lvQueue->setPalette(colours);

    cbDisableQueue = Check(this, "cbDisableQueue", "Disable Queue Function", 8, 138, 180);
    const auto button = [this](const char* name, const char* caption, int left, int width) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(name);
        b->setGeometry(left, 134, width, 25);
        b->setAutoDefault(false);
        return b;
    };
    btnNew = button("btnNew", "New", 237, 70);
    btnDelete = button("btnDelete", "Delete", 313, 70);
    btnClose = button("btnClose", "Close", 389, 70);
    btnAdvanced = button("btnAdvanced", "<<", 465, 40);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, PanelHiddenHeight, 513, PanelShownHeight - PanelHiddenHeight);

    QGroupBox* date = Group(Panel1, "Date", 8, 0, 160, 110);
    rbOneDay = Radio(date, "rbOneDay", "OneDay", 12, 20, 140);
    rbWeekDay = Radio(date, "rbWeekDay", "EveryWeekDay", 12, 40, 140);
    rbEveryDay = Radio(date, "rbEveryDay", "EveryDay", 12, 60, 140);
    Date = new QDateEdit(date);
    Date->setObjectName("Date");
    Date->setGeometry(12, 80, 136, 21);
    Date->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    Date->setCalendarPopup(true);
    Date->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    // Until a dated row loads, switching a row to OneDay gives it today.
    Date->setDate(platform::LocalNow().date());
    cbWeekDay = new QComboBox(date);
    cbWeekDay->setObjectName("cbWeekDay");
    cbWeekDay->setGeometry(12, 80, 136, 21);
    for (const char* day : WeekDayNames)
        cbWeekDay->addItem(QString::fromLatin1(day));

    const auto start = TimeEdits(Group(Panel1, "Start Time", 176, 0, 160, 110), "Start");
    StartHour = start[0];
    StartMinute = start[1];
    StartSecond = start[2];
    const auto length = TimeEdits(Group(Panel1, "Record Length", 344, 0, 161, 110), "Length");
    LengthHour = length[0];
    LengthMinute = length[1];
    LengthSecond = length[2];

    QGroupBox* target = Group(Panel1, "Target File", 8, 116, 325, 62);
    edTargetFile = new QLineEdit(target);
    edTargetFile->setObjectName("edTargetFile");
    edTargetFile->setGeometry(12, 18, 270, 21);
    SpeedButton1 = new QToolButton(target);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setText("..");
    SpeedButton1->setGeometry(286, 18, 27, 21);
    cbUseAutoName = Check(target, "cbUseAutoName", "Use Auto Name Function", 12, 41, 200);
    QGroupBox* type = Group(Panel1, "Type", 341, 116, 164, 62);
    rbWAV = Radio(type, "rbWAV", "WAV", 12, 28, 48);
    rbMP3 = Radio(type, "rbMP3", "MP3", 62, 28, 48);
    rbWMA = Radio(type, "rbWMA", "WMA", 112, 28, 48);

    connect(lvQueue, &QTreeWidget::itemSelectionChanged, this, Guard(this, &TfmQueue::lvQueueSelectItem));
    connect(btnNew, &QPushButton::clicked, this, Guard(this, &TfmQueue::btnNewClick));
    connect(btnDelete, &QPushButton::clicked, this, Guard(this, &TfmQueue::btnDeleteClick));
    connect(btnClose, &QPushButton::clicked, this, Guard(this, &TfmQueue::btnCloseClick));
    // Esc keeps the changes as Close does; Enter does nothing of its own.
    CancelButton = btnClose;
    connect(btnAdvanced, &QPushButton::clicked, this, Guard(this, &TfmQueue::btnAdvancedClick));
    // A button's rule runs when it becomes checked, by a click or by the program.
    for (QRadioButton* mode : {rbOneDay, rbWeekDay, rbEveryDay})
        connect(mode, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                framework::Guarded([this] { rbOneDayClick(); });
        });
    for (QRadioButton* format : {rbWAV, rbMP3, rbWMA})
        connect(format, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                framework::Guarded([this] { rbWAVClick(); });
        });
    connect(Date, &QDateEdit::dateChanged, this, Guard(this, &TfmQueue::DateChange));
    connect(cbWeekDay, &QComboBox::currentIndexChanged, this, Guard(this, &TfmQueue::cbWeekDayChange));
    for (framework::TSpinEdit* edit : {StartHour, StartMinute, StartSecond, LengthHour, LengthMinute, LengthSecond})
        connect(edit, &QSpinBox::valueChanged, this, Guard(this, &TfmQueue::StartHourChange));
    connect(edTargetFile, &QLineEdit::textChanged, this, Guard(this, &TfmQueue::edTargetFileChange));
    connect(cbUseAutoName, &QCheckBox::toggled, this, Guard(this, &TfmQueue::cbUseAutoNameClick));
    connect(SpeedButton1, &QToolButton::clicked, this, Guard(this, &TfmQueue::SpeedButton1Click));

    FormCreate();
    if (owner)
        move(owner->geometry().center() - rect().center());
}

void TfmQueue::FormCreate()
{
    for (const QueueEntry& entry : queue_.Entries) {
        const std::array<const std::string*, ColumnCount> texts{&entry.Date, &entry.StartTime, &entry.LengthTime,
            &entry.TargetFile};
        auto* row = new QTreeWidgetItem;
        for (int column = 0; column < ColumnCount; ++column) {
            const std::string& text = *texts[static_cast<size_t>(column)];
            row->setText(column, QString::fromStdString(text));
            row->setData(column, Qt::UserRole, QByteArray::fromStdString(text));
        }
        lvQueue->addTopLevelItem(row);
    }
    cbDisableQueue->setChecked(queue_.Disable);
    btnAdvancedClick();
    Panel1->setEnabled(false);
    rbOneDay->setChecked(true);
    rbOneDayClick();
    cbWeekDay->setCurrentIndex(0);
}

bool TfmQueue::PanelShown() const
{
    return btnAdvanced->text() == "<<";
}

void TfmQueue::btnAdvancedClick()
{
    const bool show = !PanelShown();
    btnAdvanced->setText(show ? "<<" : ">>");
    setFixedSize(width(), show ? PanelShownHeight : PanelHiddenHeight);
    // Out of reach of the Tab key as well as out of sight.
    Panel1->setVisible(show);
}

QTreeWidgetItem* TfmQueue::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = lvQueue->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TfmQueue::WriteColumn(int column, const std::string& text)
{
    // Loading a row shows it; it never rewrites it.
    if (loading_)
        return;
    if (QTreeWidgetItem* row = SelectedRow())
        row->setText(column, QString::fromStdString(text));
}

void TfmQueue::lvQueueSelectItem()
{
    const QTreeWidgetItem* row = SelectedRow();
    if (!row) {
        if (PanelShown())
            btnAdvancedClick();
        Panel1->setEnabled(false);
        return;
    }
    if (!PanelShown())
        btnAdvancedClick();
    Panel1->setEnabled(true);
    // The loading rewrites the row as it goes: its texts are taken first.
    const std::string date = row->text(ColDate).toStdString();
    const std::string startTime = row->text(ColStartTime).toStdString();
    const std::string lengthTime = row->text(ColLengthTime).toStdString();
    const std::string target = row->text(ColTargetFile).toStdString();

    // A row that does not read ends the loading with its error; the time edits must write
    // again all the same.
    const framework::FlagWhile loading(loading_);
    LoadDate(date);
    LoadTime(startTime, StartHour, StartMinute, StartSecond);
    LoadTime(lengthTime, LengthHour, LengthMinute, LengthSecond);
    LoadTarget(target);
}

void TfmQueue::LoadDate(const std::string& date)
{
    if (date == "Everyday") {
        rbEveryDay->setChecked(true);
    } else if (const auto day = std::find(WeekDayNames.begin(), WeekDayNames.end(), date); day != WeekDayNames.end()) {
        const QSignalBlocker quiet(cbWeekDay);
        cbWeekDay->setCurrentIndex(static_cast<int>(day - WeekDayNames.begin()));
        rbWeekDay->setChecked(true);
    } else {
        // Read before the mode changes, so that a date that does not read stays in the row.
        const QDate read = ReadShortDate(date, QLocale::system(), platform::LocalNow().date());
        const QSignalBlocker quiet(Date);
        Date->setDate(read);
        rbOneDay->setChecked(true);
    }
    // Also when the mode was already checked: a one-day date comes back in today's format.
    rbOneDayClick();
}

void TfmQueue::LoadTarget(const std::string& target)
{
    // The type is the one the runner would record in.
    const QueueTarget chosen = ChooseQueueTarget(target);
    QRadioButton* type = chosen.RecordType == 0 ? rbWAV : chosen.RecordType == 1 ? rbMP3 : rbWMA;
    if (chosen.AutoName) {
        cbUseAutoName->setChecked(true);
        type->setChecked(true);
        edTargetFile->setText(QString::fromStdString(DefaultTargetFile(TypeExtension())));
        return;
    }
    edTargetFile->setText(QString::fromStdString(target));
    cbUseAutoName->setChecked(false);
    type->setChecked(true);
}

void TfmQueue::rbOneDayClick()
{
    Date->setVisible(rbOneDay->isChecked());
    cbWeekDay->setVisible(rbWeekDay->isChecked());
    if (rbOneDay->isChecked())
        DateChange();
    else if (rbWeekDay->isChecked())
        cbWeekDayChange();
    else if (rbEveryDay->isChecked())
        WriteColumn(ColDate, "Everyday");
}

void TfmQueue::DateChange()
{
    WriteColumn(ColDate, ShortDateText(Date->date(), QLocale::system()));
}

void TfmQueue::cbWeekDayChange()
{
    WriteColumn(ColDate, cbWeekDay->currentText().toStdString());
}

void TfmQueue::StartHourChange()
{
    if (loading_)
        return;
    WriteColumn(ColStartTime, TimeTextOf(StartHour, StartMinute, StartSecond));
    WriteColumn(ColLengthTime, TimeTextOf(LengthHour, LengthMinute, LengthSecond));
}

std::string TfmQueue::TypeName() const
{
    return rbWAV->isChecked() ? "WAV" : rbMP3->isChecked() ? "MP3" : "WMA";
}

std::string TfmQueue::TypeExtension() const
{
    return rbWAV->isChecked() ? ".wav" : rbMP3->isChecked() ? ".mp3" : ".wma";
}

void TfmQueue::cbUseAutoNameClick()
{
    if (cbUseAutoName->isChecked())
        WriteColumn(ColTargetFile, std::string(AutoNamePrefix) + TypeName());
    else
        WriteColumn(ColTargetFile, edTargetFile->text().toStdString());
}

void TfmQueue::edTargetFileChange()
{
    cbUseAutoNameClick();
}

void TfmQueue::rbWAVClick()
{
    if (!SelectedRow() || loading_)
        return;
    const std::string path = edTargetFile->text().toStdString();
    // "show.MP3" is already an MP3 target; lowering its case would name another file.
    if (platform::UpperFileExtension(path) != platform::UpperFileExtension(TypeExtension()))
        edTargetFile->setText(QString::fromStdString(platform::ChangeFileExt(path, TypeExtension())));
    edTargetFileChange();
    cbUseAutoNameClick();
}

void TfmQueue::SpeedButton1Click()
{
    const std::string type = TypeName();
    const std::string extension = TypeExtension();
    saveDialog_.Title = "Save To " + type;
    saveDialog_.Filter = type + " File(*" + extension + ")|*" + extension;
    if (!saveDialog_.Execute())
        return;
    std::string path = saveDialog_.FileName;
    if (platform::UpperFileExtension(path).empty())
        path += extension;
    edTargetFile->setText(QString::fromStdString(path));
}

void TfmQueue::btnNewClick()
{
    // set.ini gives back no more entries than this.
    if (lvQueue->topLevelItemCount() >= MaxQueueEntries) {
        framework::Application().MessageBox("The queue holds at most " + std::to_string(MaxQueueEntries)
                + " recordings; delete one before adding another.",
            "Kestrune", framework::MB_OK | framework::MB_ICONINFORMATION);
        return;
    }
    Panel1->setEnabled(true);
    const QDateTime now = platform::LocalNow();
    const QTime time = now.time();
    auto* row = new QTreeWidgetItem(QStringList{QString::fromStdString(ShortDateText(now.date(), QLocale::system())),
        QString::fromStdString(TimeText(time.hour(), time.minute(), time.second())), "00 : 03 : 00",
        QString::fromStdString(DefaultTargetFile())});
    lvQueue->addTopLevelItem(row);
    lvQueue->setCurrentItem(row);
    lvQueue->scrollToItem(row);
}

void TfmQueue::btnDeleteClick()
{
    QTreeWidgetItem* row = SelectedRow();
    if (!row)
        return;
    // The panel goes on showing the deleted row's values, and no row takes the selection over.
    const QSignalBlocker quiet(lvQueue);
    delete row;
    lvQueue->clearSelection();
}

void TfmQueue::btnCloseClick()
{
    queue_.Disable = cbDisableQueue->isChecked();
    queue_.Entries.clear();
    for (int i = 0; i < lvQueue->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvQueue->topLevelItem(i);
        queue_.Entries.push_back({StoredText(row, ColDate), StoredText(row, ColStartTime),
            StoredText(row, ColLengthTime), StoredText(row, ColTargetFile)});
    }
    SetModalResult(mrOk);
    Close();
}
