// The settings dialog worked through its controls: what it shows of the settings, its rules
// for the format, the sample rate and the WMA list, and what OK and Cancel leave behind.
#include "fakes/ModalAnswers.h"
#include "fakes/TempFolder.h"
#include "fakes/TestWindow.h"
#include "recording/RecordIO.h"
#include "settings/SettingDialog.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using WmaFormat = std::tuple<int32_t, int32_t, int32_t>; // bit/s, channels, samples/s

// Reports `formats` from EnumWMAFormat while alive.
class FakeWmaFormats {
public:
    explicit FakeWmaFormats(std::vector<WmaFormat> formats) : saved_(RecordIO)
    {
        reported = std::move(formats);
        RecordIO.EnumWMAFormat = [](WmaFormatCallback callback) {
            for (const auto& [bitrate, channels, rate] : reported)
                callback(bitrate, channels, rate);
        };
    }
    ~FakeWmaFormats() { RecordIO = saved_; }

private:
    static inline std::vector<WmaFormat> reported;
    RecordOperations saved_;
};

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        rows << row->text(0) + " " + row->text(1) + " " + row->text(2);
    }
    return rows;
}

std::string Selected(const QTreeWidget* list)
{
    const auto selected = list->selectedItems();
    if (selected.isEmpty())
        return {};
    const QTreeWidgetItem* row = selected.first();
    return (row->text(0) + " " + row->text(1) + " " + row->text(2)).toStdString();
}

// Every field, as set.ini holds it, to compare two records whole.
std::string Saved(const RecorderSettings& settings)
{
    fakes::TempFolder folder;
    RecordingQueue queue;
    SaveSettings(folder.File("set.ini"), settings, queue);
    return fakes::ReadWholeFile(folder.File("set.ini"));
}

const std::vector<WmaFormat> SomeFormats{
    {64000, 2, 44100}, {32000, 1, 22050}, {20500, 1, 8000}, {64499, 2, 44100}, {21500, 2, 16000},
    {32000, 1, 22050}, {32000, 2, 22050}, {128000, 2, 44100}};

} // namespace

TEST(SettingDialog, ShowsTheSettingsAndFollowsTheFormatAndRateRules)
{
    FakeWmaFormats wma(SomeFormats);
    RecorderSettings settings;
    settings.Format.UseWma = false;
    settings.Format.RecordType = 1;
    settings.Format.Channels = 1;
    settings.AutoPause.LowerTime = 7;
    settings.AutoName.Path = "/tmp/rec/";
    settings.AutoStop.Hour = 30;
    TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);

    EXPECT_EQ(d.windowTitle(), "Setting");
    EXPECT_EQ(d.size(), QSize(433, 269));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowSystemMenuHint);
    ASSERT_EQ(d.TreeView1->topLevelItemCount(), 5);
    EXPECT_TRUE(d.TreeView1->selectedItems().isEmpty());
    EXPECT_EQ(d.Notebook2->currentWidget()->objectName(), "General");
    for (int i = 0; i < 5; ++i) {
        d.TreeView1->topLevelItem(i)->setSelected(true);
        EXPECT_EQ(d.Notebook2->currentIndex(), i) << "the page named like the node";
        EXPECT_EQ(d.Notebook2->currentWidget()->objectName(), d.TreeView1->topLevelItem(i)->text(0));
        EXPECT_EQ(d.PageTitles[i]->text(), d.TreeView1->topLevelItem(i)->text(0));
        EXPECT_EQ(d.PageTitles[i]->palette().color(QPalette::Window), QColor(0, 128, 0));
        EXPECT_EQ(d.PageTitles[i]->palette().color(QPalette::WindowText), QColor(Qt::white));
        d.TreeView1->topLevelItem(i)->setSelected(false);
    }

    EXPECT_EQ(Items(d.cbSampleRate), QStringList({"8000", "11025", "22050", "44100"}));
    EXPECT_EQ(d.cbSampleRate->currentText(), "44100");
    EXPECT_EQ(d.cbMP3Rate->currentText(), "128");
    EXPECT_TRUE(d.rbMono->isChecked());
    EXPECT_TRUE(d.rbUseMP3->isChecked());
    EXPECT_FALSE(d.rbUseWMA->isChecked());
    EXPECT_EQ(d.seLowerTime->Value(), 7);
    EXPECT_EQ(d.seHour->Value(), 30);
    EXPECT_EQ(d.seMinute->Value(), 10);
    EXPECT_EQ(d.Edit1->text(), "/tmp/rec/");
    EXPECT_EQ(d.Notebook1->currentWidget()->objectName(), "MP3WAV");
    EXPECT_FALSE(d.cbMP3Rate->isHidden());

    // A lower rate offers the MPEG-2 bitrates and starts from the first, whatever was chosen.
    d.cbSampleRate->setCurrentText("22050");
    EXPECT_EQ(Items(d.cbMP3Rate),
        QStringList({"8", "16", "24", "32", "40", "48", "56", "64", "80", "96", "112", "128", "144", "160"}));
    EXPECT_EQ(d.cbMP3Rate->currentText(), "8");
    d.cbSampleRate->setCurrentText("44100");
    EXPECT_EQ(d.cbMP3Rate->count(), 14);
    EXPECT_EQ(d.cbMP3Rate->currentText(), "32");

    d.rbUseWAV->click();
    EXPECT_TRUE(d.cbMP3Rate->isHidden());
    EXPECT_TRUE(d.lbMP3Rate->isHidden());
    EXPECT_EQ(d.Notebook1->currentWidget()->objectName(), "MP3WAV");
    d.rbUseMP3->click();
    EXPECT_FALSE(d.cbMP3Rate->isHidden());
    EXPECT_EQ(d.Notebook1->currentWidget()->objectName(), "MP3WAV");
    d.rbUseWMA->click();
    EXPECT_EQ(d.Notebook1->currentWidget()->objectName(), "WMA");

    // The folder browser fills Save To when a folder is chosen, and only then.
    {
        fakes::ModalAnswers answers;
        answers.Queue({framework::IDOK, "/home/chosen"});
        answers.Queue({framework::IDCANCEL, {}});
        d.SpeedButton1->click();
        EXPECT_EQ(d.Edit1->text(), "/home/chosen");
        d.SpeedButton1->click();
        EXPECT_EQ(d.Edit1->text(), "/home/chosen");
        ASSERT_EQ(answers.Seen().size(), 2u);
        EXPECT_EQ(answers.Seen()[0].kind, framework::ModalKind::FolderDialog);
    }
    // It opens on the Save To folder: selected, its parents expanded.
    {
        fakes::TempFolder where;
        const std::string folder = where.File("rec/shows");
        std::filesystem::create_directories(folder);
        d.Edit1->setText(QString::fromStdString(folder));
        fakes::ModalAnswers answers;
        std::string shown;
        bool parentOpen = false;
        answers.QueueAction([&](const framework::ModalRequest& request) {
            auto* browser = qobject_cast<settings::TFolderBrowserDialog*>(request.form);
            if (!browser)
                return framework::ModalAnswer{};
            QElapsedTimer waited;
            waited.start();
            while (browser->SelectedPath() != folder && waited.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            shown = browser->SelectedPath();
            parentOpen = browser->tvFolders->isExpanded(browser->tvFolders->currentIndex().parent());
            return framework::ModalAnswer{framework::IDCANCEL, {}};
        });
        d.SpeedButton1->click();
        EXPECT_EQ(shown, folder);
        EXPECT_TRUE(parentOpen);
    }

    // A bitrate that 44100 does not offer opens with none selected.
    settings.Format.Mp3Rate = 144;
    TfmSet other(nullptr, settings, RecordIO.EnumWMAFormat);
    EXPECT_EQ(other.cbSampleRate->currentText(), "44100");
    EXPECT_EQ(other.cbMP3Rate->currentIndex(), -1);
}

TEST(SettingDialog, ListsEachWmaFormatOnceByBitrateAndTakesTheChosenRow)
{
    FakeWmaFormats wma(SomeFormats);
    RecorderSettings settings;
    settings.Format.WmaBitrate = 32;
    settings.Format.WmaChannels = 2;
    settings.Format.WmaSamplePerSec = 22050;
    TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);

    EXPECT_TRUE(d.rbUseWMA->isChecked());
    EXPECT_EQ(d.Notebook1->currentWidget()->objectName(), "WMA");
    EXPECT_EQ(Rows(d.lvWMAFormat), QStringList({"20 mono 8000", "22 stereo 16000", "32 mono 22050",
                                       "32 stereo 22050", "64 stereo 44100", "128 stereo 44100"}));
    EXPECT_EQ(Selected(d.lvWMAFormat), "32 stereo 22050");

    d.lvWMAFormat->setCurrentItem(d.lvWMAFormat->topLevelItem(2));
    ASSERT_EQ(Selected(d.lvWMAFormat), "32 mono 22050");
    d.BitBtn1->click();
    EXPECT_EQ(d.ModalResult(), 1);
    EXPECT_TRUE(settings.Format.UseWma);
    EXPECT_EQ(settings.Format.WmaChannels, 1);
    EXPECT_EQ(settings.Format.WmaBitrate, 32);
    EXPECT_EQ(settings.Format.WmaSamplePerSec, 22050);

    // With nothing reported the list stays empty and OK keeps the WMA values.
    FakeWmaFormats none({});
    TfmSet empty(nullptr, settings, RecordIO.EnumWMAFormat);
    EXPECT_EQ(empty.lvWMAFormat->topLevelItemCount(), 0);
    empty.BitBtn1->click();
    EXPECT_EQ(settings.Format.WmaBitrate, 32);
    EXPECT_EQ(settings.Format.WmaChannels, 1);
}

TEST(SettingDialog, OkCopiesBackInOrderAndCancelLeavesEverything)
{
    FakeWmaFormats wma(SomeFormats);
    RecorderSettings settings;
    settings.Format.RecordType = 0;
    settings.Format.BufferNumber = 32;
    settings.Format.BufferSize = 4096;
    settings.Advanced = 9;
    const std::string before = Saved(settings);

    {
        TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
        d.rbUseMP3->click();
        d.cbSampleRate->setCurrentText("11025");
        d.cbAutoStop->click();
        d.Edit1->setText("elsewhere");
        d.BitBtn2->click();
        EXPECT_EQ(d.ModalResult(), 2);
    }
    EXPECT_EQ(Saved(settings), before);

    {
        // WMA keeps the type it had; the buffers and the rest pass through.
        TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
        EXPECT_TRUE(d.rbUseWMA->isChecked());
        d.BitBtn1->click();
    }
    EXPECT_EQ(Saved(settings), before);

    {
        TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
        d.rbUseMP3->click();
        d.BitBtn1->click();
    }
    EXPECT_EQ(settings.Format.RecordType, 1);
    EXPECT_FALSE(settings.Format.UseWma);

    {
        TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
        d.rbUseWMA->click();
        d.BitBtn1->click();
    }
    EXPECT_EQ(settings.Format.RecordType, 1);
    EXPECT_TRUE(settings.Format.UseWma);

    {
        TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
        d.rbUseWAV->click();
        d.cbSampleRate->setCurrentText("22050");
        d.cbMP3Rate->setCurrentText("144");
        d.rbMono->click();
        d.cbEnableAutoPause->click();
        d.seLowerLevel->SetValue(40);
        d.seLouderLevel->SetValue(60);
        d.seLowerTime->SetValue(3);
        d.cbEnableAutoName->click();
        d.cbMonth->click();
        d.Edit1->setText("/srv/rec");
        d.cbAutoStop->click();
        d.seHour->SetValue(2);
        d.seMinute->SetValue(0);
        d.seSecond->SetValue(59);
        d.BitBtn1->click();
    }
    const RecorderSettings& s = settings;
    EXPECT_EQ(std::tuple(s.Format.RecordType, s.Format.UseWma, s.Format.SampleRate, s.Format.Mp3Rate, s.Format.Channels),
        std::tuple(0, false, 22050, 144, 1));
    EXPECT_EQ(std::tuple(s.Format.BufferNumber, s.Format.BufferSize, s.Advanced), std::tuple(32, 4096, 9));
    EXPECT_EQ(std::tuple(s.AutoPause.Enable, s.AutoPause.LowerLevel, s.AutoPause.LouderLevel, s.AutoPause.LowerTime),
        std::tuple(true, 40, 60, 3));
    EXPECT_TRUE(s.AutoName.Enable && s.AutoName.Year && !s.AutoName.Month && s.AutoName.Second);
    EXPECT_EQ(s.AutoName.Path, "/srv/rec");
    EXPECT_EQ(std::tuple(s.AutoStop.Enable, s.AutoStop.Hour, s.AutoStop.Minute, s.AutoStop.Second),
        std::tuple(true, 2, 0, 59));
}

TEST(SettingDialog, SpinEditsHoldTheirRangeAndReadJunkAsTheLowerBound)
{
    FakeWmaFormats wma({});
    RecorderSettings settings;
    TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
    const auto type = [](framework::TSpinEdit* edit, const char* text) {
        edit->findChild<QLineEdit*>()->setText(text);
        edit->interpretText();
        return edit->Value();
    };
    EXPECT_EQ(type(d.seLowerLevel, "150"), 100);
    EXPECT_EQ(type(d.seLouderLevel, "-3"), 0);
    EXPECT_EQ(type(d.seMinute, "75"), 59);
    EXPECT_EQ(type(d.seSecond, "abc"), 0);
    EXPECT_EQ(type(d.seHour, "100"), 100) << "hours have no upper bound";
    EXPECT_EQ(type(d.seLowerTime, "x1"), 0);
    EXPECT_EQ(d.seSecond->text(), "0") << "leaving shows what was read";
    d.BitBtn1->click();
    EXPECT_EQ(std::tuple(settings.AutoPause.LowerLevel, settings.AutoPause.LouderLevel, settings.AutoPause.LowerTime),
        std::tuple(100, 0, 0));
    EXPECT_EQ(std::tuple(settings.AutoStop.Hour, settings.AutoStop.Minute, settings.AutoStop.Second),
        std::tuple(100, 59, 0));
}

TEST(SettingDialog, OkKeepsRatesTheListsDoNotOfferAndTakesTheRest)
{
    FakeWmaFormats wma({});
    RecorderSettings settings;
    settings.Format.SampleRate = 12345; // as a hand-edited set.ini may hold
    settings.Format.Mp3Rate = 999;
    TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
    EXPECT_EQ(d.cbSampleRate->currentIndex(), -1);
    EXPECT_EQ(d.cbMP3Rate->currentIndex(), -1);
    EXPECT_EQ(Items(d.cbMP3Rate).first(), "8") << "no rate chosen offers the lower rates' list";
    d.rbUseMP3->click();
    d.rbMono->click();
    d.cbAutoStop->click();
    d.Edit1->setText("/x");
    d.BitBtn1->click();
    EXPECT_EQ(d.ModalResult(), 1);
    EXPECT_EQ(settings.Format.SampleRate, 12345);
    EXPECT_EQ(settings.Format.Mp3Rate, 999);
    EXPECT_EQ(settings.Format.Channels, 1);
    EXPECT_EQ(settings.Format.RecordType, 1);
    EXPECT_FALSE(settings.Format.UseWma);
    EXPECT_TRUE(settings.AutoStop.Enable);
    EXPECT_EQ(settings.AutoName.Path, "/x");
}

TEST(SettingDialog, ValuesNoControlOffersAreKeptThroughOk)
{
    FakeWmaFormats wma(SomeFormats);
    RecorderSettings settings;
    settings.Format.UseWma = false;
    settings.Format.RecordType = 2; // set only by the schedule
    settings.Format.Channels = 3;
    settings.Format.WmaBitrate = 96; // not among the library's formats
    settings.AutoPause.LowerLevel = 150;
    settings.AutoName.Path = "/rec/caf\xe9/"; // not UTF-8
    RecorderSettings kept = settings;
    TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
    for (QRadioButton* button : {d.rbUseWMA, d.rbUseMP3, d.rbUseWAV, d.rbMono, d.rbStereo})
        EXPECT_FALSE(button->isChecked()) << button->objectName().toStdString();
    EXPECT_TRUE(d.lvWMAFormat->selectedItems().isEmpty());
    EXPECT_EQ(d.seLowerLevel->Value(), 100);
    d.BitBtn1->click();
    kept.AutoPause.LowerLevel = 100; // the spin edit's range
    EXPECT_EQ(Saved(settings), Saved(kept));
    EXPECT_EQ(settings.AutoName.Path, kept.AutoName.Path) << "an untouched path keeps its bytes";
}

TEST(SettingDialog, EnterPressesTheFocusedButtonElseOk)
{
    FakeWmaFormats wma({});
    RecorderSettings settings;
    const auto enterOn = [&settings](auto focus) {
        TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
        d.seMinute->SetValue(settings.AutoStop.Minute + 1);
        QWidget* target = focus(d);
        target->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        return d.ModalResult();
    };
    EXPECT_EQ(enterOn([](TfmSet& d) -> QWidget* { return d.BitBtn2; }), 2) << "Enter on a focused Cancel cancels";
    EXPECT_EQ(settings.AutoStop.Minute, 10);
    EXPECT_EQ(enterOn([](TfmSet& d) -> QWidget* { return d.Edit1; }), 1);
    EXPECT_EQ(settings.AutoStop.Minute, 11);
}

TEST(SettingDialog, ListsTheRecordingLibrarysFormats)
{
    const RecordOperations saved = RecordIO;
    BindRecordEngine();
    RecorderSettings settings;
    {
        TfmSet d(nullptr, settings, RecordIO.EnumWMAFormat);
        QStringList rows = Rows(d.lvWMAFormat);
        EXPECT_GT(rows.size(), 3);
        for (int i = 1; i < d.lvWMAFormat->topLevelItemCount(); ++i)
            EXPECT_LE(d.lvWMAFormat->topLevelItem(i - 1)->text(0).toInt(), d.lvWMAFormat->topLevelItem(i)->text(0).toInt());
        EXPECT_EQ(rows.removeDuplicates(), 0);
        EXPECT_EQ(Selected(d.lvWMAFormat), "64 stereo 44100") << "the default format is offered and chosen";
    }
    RecordIO = saved;
}

TEST(SettingDialog, TheSettingCommandShowsItModallyOverTheWindow)
{
    FakeWmaFormats wma(SomeFormats);
    fakes::TestWindow win;
    win->Settings.AutoStop.Minute = 10;
    fakes::ModalAnswers answers;
    answers.QueueAction([&win](const framework::ModalRequest& request) {
        auto* d = qobject_cast<TfmSet*>(request.form);
        EXPECT_EQ(request.kind, framework::ModalKind::ShowModal);
        if (!d)
            return framework::ModalAnswer{};
        EXPECT_EQ(d->parentWidget(), win.w.get()) << "owned by the main window";
        d->seMinute->SetValue(25);
        d->BitBtn1->click();
        return framework::ModalAnswer{d->ModalResult(), {}};
    });
    win->tbSetClick();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(win->Settings.AutoStop.Minute, 25);
    EXPECT_EQ(win->findChildren<TfmSet*>().size(), 0) << "destroyed when it closes";
}
