// The Input page of the settings against a stand-in for the sound server's inputs: what it
// lists, the live levels on the screen, the watch that ends with the page, and the choice
// that OK keeps and Cancel drops.
#include "fakes/BarPixels.h"
#include "settings/InputLevelBar.h"
#include "settings/SettingDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct FakeInputs {
    platform::SoundInputList list{"mic",
        {{"mic", "Built-in Microphone", false}, {"speakers.monitor", "Monitor of Speakers", true}}};
    std::vector<float> peaks;
    std::vector<std::string> watched;
    int open = 0; // watches alive

    TInputPage::WatchFactory Factory();
};

class FakeWatch : public platform::InputLevelWatch {
public:
    explicit FakeWatch(FakeInputs& inputs) : inputs_(inputs) { ++inputs_.open; }
    ~FakeWatch() override { --inputs_.open; }
    bool List(platform::SoundInputList& list) override
    {
        list = inputs_.list;
        return true;
    }
    void Watch(const std::vector<std::string>& sources) override { inputs_.watched = sources; }
    std::vector<float> Peaks() override { return inputs_.peaks; }

private:
    FakeInputs& inputs_;
};

TInputPage::WatchFactory FakeInputs::Factory()
{
    return [this] { return std::make_unique<FakeWatch>(*this); };
}

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows;
}


void Wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(InputPage, ListsTheInputsWithLiveLevelsWhileShownAndKeepsAMissingChoice)
{
    FakeInputs inputs;
    RecorderSettings settings;
    settings.Input = "usb-headset";
    TfmSet d(nullptr, settings, nullptr, inputs.Factory());
    d.show();
    EXPECT_EQ(inputs.open, 0) << "nothing is watched before the page is shown";
    d.ShowPage("Input");
    ASSERT_EQ(d.Notebook2->currentWidget()->objectName(), "Input");
    EXPECT_EQ(d.PageTitles[4]->text(), "Input");
    EXPECT_EQ(Rows(d.InputPage->lvInput),
        QStringList({"Default input (Built-in Microphone)", "Built-in Microphone", "Monitor of Speakers",
            "usb-headset (not connected)"}));
    EXPECT_EQ(d.InputPage->lvInput->currentItem()->text(0), "usb-headset (not connected)");
    EXPECT_EQ(inputs.open, 1);
    EXPECT_EQ(inputs.watched, (std::vector<std::string>{"mic", "mic", "speakers.monitor"}));

    // -30 dB fills half a bar, full scale all of it, silence nothing: on the screen.
    inputs.peaks = {0.0316228f, 0.0316228f, 1.0f};
    Wait(150);
    const int full = d.InputPage->Bar(2)->width() - 8;
    EXPECT_EQ(fakes::GreenColumns(d.InputPage->Bar(2)), full);
    EXPECT_NEAR(fakes::GreenColumns(d.InputPage->Bar(0)), full / 2.0, 1.0);
    EXPECT_EQ(fakes::GreenColumns(d.InputPage->Bar(3)), 0) << "the missing input is silent";
    inputs.peaks = {0, 0, 0};
    Wait(150);
    EXPECT_EQ(fakes::GreenColumns(d.InputPage->Bar(2)), 0) << "the bar falls with the sound";

    d.ShowPage("Auto Stop");
    EXPECT_EQ(inputs.open, 0) << "the watch ends when the page is left";
    d.BitBtn1->click();
    EXPECT_EQ(settings.Input, "usb-headset") << "kept until another input is picked";
}

TEST(InputPage, OkStoresThePickedSourceAndCancelChangesNothing)
{
    FakeInputs inputs;
    RecorderSettings settings;
    const auto pick = [&](int row, QPushButton* TfmSet::*button) {
        TfmSet d(nullptr, settings, nullptr, inputs.Factory());
        d.show();
        d.ShowPage("Input");
        d.InputPage->lvInput->setCurrentItem(d.InputPage->lvInput->topLevelItem(row));
        (d.*button)->click();
        EXPECT_EQ(inputs.open, 0) << "the watch ends when the dialog closes";
    };
    pick(2, &TfmSet::BitBtn2);
    EXPECT_EQ(settings.Input, "");
    pick(2, &TfmSet::BitBtn1);
    EXPECT_EQ(settings.Input, "speakers.monitor");
    pick(0, &TfmSet::BitBtn1);
    EXPECT_EQ(settings.Input, "") << "the default row stores the default";
}
