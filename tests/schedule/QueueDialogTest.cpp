// The queue editor worked through its controls: what a new row holds, the date, time and
// target rules, Delete, what Close and the close box leave in the queue, rows that do not
// read, and a row made in the editor started by the runner.
#include "fakes/FakeRecordEngine.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"
#include "platform/Paths.h"
#include "schedule/Due.h"
#include "schedule/QueueDialog.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using framework::ModalAnswer;
using framework::ModalKind;
using framework::ModalRequest;

namespace {

class QueueDialog : public testing::Test {
protected:
    QueueDialog() { At(QDateTime(QDate(2004, 3, 15), QTime(21, 7, 9))); }
    ~QueueDialog() override { platform::SetLocalTimeSource({}); }
    void At(const QDateTime& time)
    {
        now = time;
        platform::SetLocalTimeSource([this] { return now; });
    }
    static std::string ShortDate(const QDate& date) { return ShortDateText(date, QLocale::system()); }
    // The four texts of a row.
    static std::vector<std::string> Row(const TfmQueue& d, int index)
    {
        const QTreeWidgetItem* row = d.lvQueue->topLevelItem(index);
        return {row->text(0).toStdString(), row->text(1).toStdString(), row->text(2).toStdString(),
            row->text(3).toStdString()};
    }
    static void Select(TfmQueue& d, int index) { d.lvQueue->setCurrentItem(d.lvQueue->topLevelItem(index)); }

    QDateTime now;
    RecordingQueue queue;
    framework::TSaveDialog saveDialog;
    const std::string home = platform::HomeFolder();
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(QueueDialog, NewRowTheDateModesAndTheTimes)
{
    queue.Entries = {{"Everyday", "08 : 00 : 00", "01 : 00 : 00", "/rec/a.wav"}};
    TfmQueue d(nullptr, queue, saveDialog);
    EXPECT_EQ(d.windowTitle(), "Queue");
    EXPECT_TRUE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(d.size(), QSize(513, 167));
    EXPECT_EQ(d.btnAdvanced->text(), ">>");
    EXPECT_FALSE(d.Panel1->isEnabled());
    ASSERT_EQ(d.lvQueue->columnCount(), 4);
    EXPECT_EQ(d.lvQueue->headerItem()->text(2), "Record Length");
    EXPECT_EQ(d.lvQueue->columnWidth(3), 193);
    EXPECT_EQ(d.lvQueue->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(d.lvQueue->selectedItems().isEmpty());
    d.btnAdvanced->click();
    EXPECT_EQ(d.btnAdvanced->text(), "<<");
    EXPECT_EQ(d.size(), QSize(513, 350));
    d.btnAdvanced->click();

    // The picker holds today until a dated row loads: an every-day row switched to OneDay.
    Select(d, 0);
    EXPECT_TRUE(d.rbEveryDay->isChecked());
    EXPECT_TRUE(d.Date->isHidden() && d.cbWeekDay->isHidden());
    d.rbOneDay->click();
    EXPECT_EQ(Row(d, 0)[0], ShortDate(QDate(2004, 3, 15)));
    EXPECT_FALSE(d.Date->isHidden());

    At(QDateTime(QDate(2004, 3, 16), QTime(21, 7, 9)));
    d.btnNew->click();
    ASSERT_EQ(d.lvQueue->topLevelItemCount(), 2);
    EXPECT_EQ(Row(d, 1), (Texts{ShortDate(QDate(2004, 3, 16)), "21 : 07 : 09", "00 : 03 : 00", home + "myrecord.wma"}));
    EXPECT_EQ(d.lvQueue->selectedItems().value(0), d.lvQueue->topLevelItem(1));
    EXPECT_EQ(d.size(), QSize(513, 350));
    EXPECT_TRUE(d.Panel1->isEnabled());
    EXPECT_TRUE(d.rbOneDay->isChecked());
    EXPECT_EQ(d.Date->date(), QDate(2004, 3, 16));
    EXPECT_TRUE(d.rbWMA->isChecked());
    EXPECT_FALSE(d.cbUseAutoName->isChecked());
    EXPECT_EQ(d.edTargetFile->text().toStdString(), home + "myrecord.wma");
    EXPECT_EQ(d.StartHour->Value(), 21);
    EXPECT_EQ(d.LengthMinute->Value(), 3);

    d.rbWeekDay->click();
    EXPECT_TRUE(d.Date->isHidden());
    EXPECT_FALSE(d.cbWeekDay->isHidden());
    EXPECT_EQ(Row(d, 1)[0], "Monday");
    d.cbWeekDay->setCurrentText("Friday");
    EXPECT_EQ(Row(d, 1)[0], "Friday");
    d.rbEveryDay->click();
    EXPECT_EQ(Row(d, 1)[0], "Everyday");
    d.rbOneDay->click();
    d.Date->setDate(QDate(2004, 12, 24));
    EXPECT_EQ(Row(d, 1)[0], ShortDate(QDate(2004, 12, 24)));

    // Any time edit rewrites both times; a typed number beyond the range is held to it.
    d.LengthSecond->SetValue(30);
    EXPECT_EQ(Row(d, 1)[1], "21 : 07 : 09");
    EXPECT_EQ(Row(d, 1)[2], "00 : 03 : 30");
    d.StartHour->findChild<QLineEdit*>()->setText("99");
    EXPECT_EQ(Row(d, 1)[1], "23 : 07 : 09");
    EXPECT_EQ(Row(d, 0), (Texts{ShortDate(QDate(2004, 3, 15)), "08 : 00 : 00", "01 : 00 : 00", "/rec/a.wav"}));

    // Loading the first row back shows its values and changes nothing but the rendered date.
    Select(d, 0);
    EXPECT_EQ(d.StartHour->Value(), 8);
    EXPECT_EQ(d.LengthHour->Value(), 1);
    EXPECT_TRUE(d.rbWAV->isChecked());
    EXPECT_EQ(Row(d, 0), (Texts{ShortDate(QDate(2004, 3, 15)), "08 : 00 : 00", "01 : 00 : 00", "/rec/a.wav"}));
}

TEST_F(QueueDialog, TargetRules)
{
    queue.Entries = {{"Sunday", "08 : 00 : 00", "00 : 10 : 00", "/rec/a.wav"},
        {"Everyday", "09 : 00 : 00", "00 : 10 : 00", "/rec/x.ogg"},
        {"Everyday", "10 : 00 : 00", "00 : 10 : 00", "Use Auto Name Record MP3"},
        {"Everyday", "11 : 00 : 00", "00 : 10 : 00", "Use Auto Name Record "}};
    TfmQueue d(nullptr, queue, saveDialog);
    Select(d, 0);
    EXPECT_TRUE(d.rbWeekDay->isChecked());
    EXPECT_EQ(d.cbWeekDay->currentText(), "Sunday");
    d.rbMP3->click();
    EXPECT_EQ(d.edTargetFile->text(), "/rec/a.mp3");
    EXPECT_EQ(Row(d, 0)[3], "/rec/a.mp3");
    d.cbUseAutoName->click();
    EXPECT_EQ(Row(d, 0)[3], "Use Auto Name Record MP3");
    d.rbWAV->click();
    EXPECT_EQ(Row(d, 0)[3], "Use Auto Name Record WAV");
    d.cbUseAutoName->click();
    EXPECT_EQ(Row(d, 0)[3], "/rec/a.wav");
    d.edTargetFile->setText("/rec/a");
    EXPECT_EQ(Row(d, 0)[3], "/rec/a");
    d.rbMP3->click();
    EXPECT_EQ(Row(d, 0)[3], "/rec/a.mp3");
    d.edTargetFile->setText("/rec.d/take");
    d.rbWAV->click();
    EXPECT_EQ(Row(d, 0)[3], "/rec.d/take.wav");

    // The main window's save dialog, for the checked type; a name without extension gets it,
    // and the dialog opens on the name last chosen; a cancel changes nothing.
    saveDialog.FileName = "/old/choice.mp3";
    fakes::ModalAnswers answers;
    answers.QueueAction([](const ModalRequest&) { return ModalAnswer{framework::IDOK, "/rec/take"}; });
    answers.Queue({framework::IDCANCEL, {}});
    d.SpeedButton1->click();
    EXPECT_EQ(Row(d, 0)[3], "/rec/take.wav");
    d.rbMP3->click();
    d.SpeedButton1->click();
    EXPECT_EQ(Row(d, 0)[3], "/rec/take.mp3");
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::SaveDialog);
    EXPECT_EQ(answers.Seen()[0].text, "Save To WAV");
    EXPECT_EQ(answers.Seen()[0].filter, "WAV File(*.wav)|*.wav");
    EXPECT_EQ(answers.Seen()[0].fileName, "/old/choice.mp3");
    EXPECT_EQ(answers.Seen()[1].text, "Save To MP3");
    EXPECT_EQ(answers.Seen()[1].filter, "MP3 File(*.mp3)|*.mp3");
    EXPECT_EQ(answers.Seen()[1].fileName, "/rec/take");

    // Loading shows a row and writes nothing to it: an extension that no type fits reads as
    // WMA and stays; an automatic name shows its format, an unknown one as WMA.
    d.rbWAV->click();
    Select(d, 1);
    EXPECT_TRUE(d.rbWMA->isChecked());
    EXPECT_EQ(d.edTargetFile->text(), "/rec/x.ogg");
    EXPECT_EQ(Row(d, 1)[3], "/rec/x.ogg");
    Select(d, 2);
    EXPECT_TRUE(d.cbUseAutoName->isChecked());
    EXPECT_TRUE(d.rbMP3->isChecked());
    EXPECT_EQ(d.edTargetFile->text().toStdString(), home + "myrecord.mp3");
    EXPECT_EQ(Row(d, 2)[3], "Use Auto Name Record MP3");
    Select(d, 3);
    EXPECT_TRUE(d.rbWMA->isChecked());
    EXPECT_EQ(Row(d, 3)[3], "Use Auto Name Record ");
    // Back to a fixed target: the auto-name box clears and the path stays.
    Select(d, 0);
    EXPECT_FALSE(d.cbUseAutoName->isChecked());
    EXPECT_EQ(Row(d, 0)[3], "/rec/take.wav");
}

TEST_F(QueueDialog, RowsKeepTheirNamesAndBytesAndTheQueueItsLimit)
{
    const std::string latin1 = "/rec/caf\xe9.wav"; // a hand-edited set.ini: not UTF-8
    queue.Entries = {{"Everyday", "08 : 00 : 00", "00 : 10 : 00", "/rec/show.MP3"},
        {"Everyday", "09 : 00 : 00", "00 : 10 : 00", latin1}};
    {
        TfmQueue d(nullptr, queue, saveDialog);
        d.rbWAV->setChecked(true);
        Select(d, 0);
        EXPECT_TRUE(d.rbMP3->isChecked());
        EXPECT_EQ(Row(d, 0)[3], "/rec/show.MP3") << "on Linux show.mp3 is another file";
        d.edTargetFile->setText("/rec/Take.WAV");
        d.rbWAV->click();
        EXPECT_EQ(Row(d, 0)[3], "/rec/Take.WAV") << "already of the chosen type";
        d.rbMP3->click();
        EXPECT_EQ(Row(d, 0)[3], "/rec/Take.mp3");
        Select(d, 1);
        d.btnClose->click();
    }
    ASSERT_EQ(queue.Entries.size(), 2u);
    EXPECT_EQ(queue.Entries[0].TargetFile, "/rec/Take.mp3");
    EXPECT_EQ(queue.Entries[1].TargetFile, latin1) << "an untouched row is written back byte for byte";

    // No more rows than set.ini gives back.
    queue.Entries.assign(MaxQueueEntries, queue.Entries[0]);
    TfmQueue d(nullptr, queue, saveDialog);
    fakes::ModalAnswers answers;
    d.btnNew->click();
    EXPECT_EQ(d.lvQueue->topLevelItemCount(), MaxQueueEntries);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "The queue holds at most 10000 recordings; delete one before adding another.");
}

TEST_F(QueueDialog, DeleteCloseAndTheCloseBox)
{
    fakes::TempFolder folder;
    const std::string setIni = folder.File("set.ini");
    queue.Entries = {{"Everyday", "08 : 00 : 00", "00 : 10 : 00", "/rec/a.wav"},
        {"Monday", "09 : 00 : 00", "00 : 20 : 00", "/rec/b.mp3"}};
    SaveSettings(setIni, RecorderSettings{}, queue);
    const std::vector<QueueEntry> before = queue.Entries;

    // The close box drops every change, the disable box's too.
    {
        TfmQueue d(nullptr, queue, saveDialog);
        d.cbDisableQueue->click();
        d.btnNew->click();
        Select(d, 0);
        d.StartMinute->SetValue(30);
        d.close();
        EXPECT_EQ(d.ModalResult(), 0);
        EXPECT_FALSE(queue.Disable);
        ASSERT_EQ(queue.Entries.size(), 2u);
        EXPECT_TRUE(SameEntry(queue.Entries[0], before[0]));
    }

    TfmQueue d(nullptr, queue, saveDialog);
    Select(d, 1);
    d.btnDelete->click();
    ASSERT_EQ(d.lvQueue->topLevelItemCount(), 1);
    EXPECT_TRUE(d.lvQueue->selectedItems().isEmpty());
    // Delete leaves the panel with the deleted row's values; changing them changes no row.
    EXPECT_EQ(d.size(), QSize(513, 350));
    EXPECT_TRUE(d.Panel1->isEnabled());
    EXPECT_TRUE(d.rbWeekDay->isChecked());
    EXPECT_EQ(d.StartHour->Value(), 9);
    EXPECT_EQ(d.edTargetFile->text(), "/rec/b.mp3");
    d.rbEveryDay->click();
    d.StartHour->SetValue(12);
    d.rbWAV->click();
    d.cbUseAutoName->click();
    d.edTargetFile->setText("/elsewhere.wav");
    EXPECT_EQ(d.edTargetFile->text(), "/elsewhere.wav");
    EXPECT_EQ(Row(d, 0), (Texts{"Everyday", "08 : 00 : 00", "00 : 10 : 00", "/rec/a.wav"}));
    // Selecting nothing hides the panel and disables it.
    Select(d, 0);
    d.lvQueue->clearSelection();
    EXPECT_EQ(d.size(), QSize(513, 167));
    EXPECT_FALSE(d.Panel1->isEnabled());

    // Every row deleted, the box checked, Esc: the queue is empty and off; set.ini keeps the
    // old entries' keys after the count.
    d.btnDelete->click();
    d.lvQueue->setCurrentItem(d.lvQueue->topLevelItem(0));
    d.btnDelete->click();
    EXPECT_EQ(d.lvQueue->topLevelItemCount(), 0);
    d.cbDisableQueue->click();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(d.edTargetFile, &esc);
    EXPECT_EQ(d.ModalResult(), 1);
    EXPECT_TRUE(queue.Entries.empty());
    EXPECT_TRUE(queue.Disable);
    SaveSettings(setIni, RecorderSettings{}, queue);
    const std::string saved = fakes::ReadWholeFile(setIni);
    EXPECT_NE(saved.find("Count=0"), std::string::npos);
    EXPECT_NE(saved.find("Disable=1"), std::string::npos);
    EXPECT_NE(saved.find("TargetFile1=/rec/b.mp3"), std::string::npos);
}

TEST_F(QueueDialog, ARowThatDoesNotReadShowsItsErrorAndTheEditsWriteAgain)
{
    queue.Entries = {{"31.31.31.31", "08 : 00 : 00", "00 : 10 : 00", "/rec/a.wav"},
        {"Everyday", "7:05:00", "00 : 10 : 00", "/rec/b.wav"}, {"", "", "", ""}};
    TfmQueue d(nullptr, queue, saveDialog);
    fakes::ModalAnswers answers;
    Select(d, 0);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::ErrorBox);
    EXPECT_EQ(answers.Seen()[0].text, "'31.31.31.31' is not a valid date");
    EXPECT_EQ(Row(d, 0)[0], "31.31.31.31") << "the date that does not read stays";
    d.StartMinute->SetValue(5);
    EXPECT_EQ(Row(d, 0)[1], "00 : 05 : 00");

    Select(d, 1);
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].text, "'' is not a valid integer value");
    d.LengthHour->SetValue(2);
    EXPECT_EQ(Row(d, 1)[2], "02 : 00 : 00") << "the length was never loaded";

    // Nothing at all: the date error, and the row still takes what the panel writes.
    Select(d, 2);
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_EQ(answers.Seen()[2].text, "'' is not a valid date");
    d.rbOneDay->click();
    d.StartSecond->SetValue(1);
    EXPECT_EQ(Row(d, 2)[0], ShortDate(QDate(2004, 3, 15))) << "today, no dated row having loaded";
    EXPECT_EQ(Row(d, 2)[1], "00 : 05 : 01");
}

TEST_F(QueueDialog, AnEntryMadeInTheEditorStartsAtItsTime)
{
    fakes::FakeRecordEngine engine;
    fakes::TestWindow win;
    win->move(300, 200);
    At(QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0, 300)));
    const std::string target = win.folder.File("q/take.mp3");
    fakes::ModalAnswers answers;
    answers.QueueAction([&](const ModalRequest& request) {
        auto* d = qobject_cast<TfmQueue*>(request.form);
        EXPECT_TRUE(d);
        if (!d)
            return ModalAnswer{};
        EXPECT_EQ(d->geometry().center(), win->geometry().center());
        d->btnNew->click();
        d->StartSecond->SetValue(2);
        d->LengthMinute->SetValue(0);
        d->LengthSecond->SetValue(5);
        d->rbMP3->click();
        d->edTargetFile->setText(QString::fromStdString(target));
        // The runner goes on with the queue as it was while the editor is open.
        win->tmQueue->Tick();
        EXPECT_TRUE(win->Queue.Entries.empty());
        d->btnClose->click();
        return ModalAnswer{d->ModalResult(), {}};
    });
    win->tbQueue->Click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "Queue");
    ASSERT_EQ(win->Queue.Entries.size(), 1u);

    win->tmQueue->Tick();
    EXPECT_TRUE(engine.starts.empty()) << "two seconds early";
    At(QDateTime(QDate(2026, 3, 2), QTime(8, 0, 2, 300)));
    win->tmQueue->Tick();
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].path, target);
    EXPECT_EQ(engine.starts[0].params.Format, 1);
    EXPECT_TRUE(win->Session->State.QueueRecordingFlag);
    At(QDateTime(QDate(2026, 3, 2), QTime(8, 0, 20)));
    win.Run(5000);
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"start", "stop"}));
}
