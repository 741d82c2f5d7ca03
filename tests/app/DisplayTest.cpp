// The main window's face: its elements, the display primitives, the title strip and the menu.
#include "app/Kestrune.h"
#include "app/TitleStrip.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"
#include "framework/Application.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

void Send(QWidget& widget, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, {});
    QApplication::sendEvent(&widget, &event);
}

} // namespace

TEST(MainWindowSkin, EveryElementAtItsPlaceInTheStackingOrder)
{
    fakes::TestWindow win;
    TKestrune& w = *win.w;
    EXPECT_EQ(w.size(), QSize(400, 210));
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(50, 50, 50));

    struct Expected {
        const char* name;
        QRect bounds;
        const char* hint;
    };
    // Bottom to top.
    const Expected design[] = {{"imMain", {0, 0, 400, 210}, ""}, {"n1", {146, 36, 15, 30}, ""},
        {"n2", {162, 36, 15, 30}, ""}, {"n3", {186, 36, 15, 30}, ""}, {"n4", {202, 36, 15, 30}, ""},
        {"n5", {226, 36, 15, 30}, ""}, {"n6", {242, 36, 15, 30}, ""}, {"tb1", {21, 32, 57, 60}, ""},
        {"tb2", {318, 32, 60, 60}, ""}, {"lbFileName", {84, 105, 245, 14}, "[null]"},
        {"tbOpen", {25, 129, 32, 32}, "Select File for Recording"}, {"tbRec", {65, 129, 32, 32}, "Start Recording"},
        {"tbPause", {65, 129, 32, 32}, "Pause Recording"}, {"tbStop", {105, 129, 32, 32}, "Stop Recording"},
        {"tbMixer", {257, 129, 32, 32}, "Show Mixer"}, {"tbSet", {337, 129, 32, 32}, "Setting"},
        {"tbQueue", {297, 129, 32, 32}, "Show Queue"}, {"Image1", {20, 172, 360, 18}, ""},
        {"lbStatus", {22, 173, 355, 14}, ""},
        {"tbrecandpause", {105, 129, 32, 32}, "Start Recording and Pause immediately"},
        {"imleft", {86, 71, 228, 7}, ""}, {"imright", {86, 77, 228, 7}, ""}, {"lbleftdb", {272, 45, 41, 14}, ""},
        {"lbrightdb", {272, 56, 41, 14}, ""}, {"tbPlayIt", {161, 129, 32, 32}, "Play It"},
        {"tbStopPlayback", {201, 129, 32, 32}, "Stop PlayBack"}, {"imTrackBar", {16, 104, 370, 18}, ""},
        {"imTrackButton", {16, 105, 30, 15}, "Drag to seek"}, {"lbMaxL", {83, 45, 57, 14}, ""},
        {"lbMaxR", {83, 56, 57, 14}, ""}};
    std::vector<framework::TControl*> controls;
    for (QObject* child : w.children())
        if (auto* control = qobject_cast<framework::TControl*>(child))
            controls.push_back(control);
    ASSERT_EQ(controls.size(), std::size(design));
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(controls[i]->Name(), design[i].name) << "stacking place " << i;
        EXPECT_EQ(controls[i]->geometry(), design[i].bounds) << design[i].name;
        EXPECT_EQ(controls[i]->Hint(), design[i].hint) << design[i].name;
    }

    const std::pair<TTransparentButton*, int> glyphs[] = {{w.tbOpen, 7}, {w.tbRec, 1}, {w.tbPause, 4},
        {w.tbrecandpause, 17}, {w.tbStop, 5}, {w.tbPlayIt, 3}, {w.tbStopPlayback, 5}, {w.tbMixer, 14},
        {w.tbQueue, 15}, {w.tbSet, 16}};
    for (auto [button, index] : glyphs) {
        EXPECT_EQ(button->ImageIndex(), index) << button->Name();
        EXPECT_EQ(button->ImageList(), w.imIcon);
        EXPECT_FALSE(button->ThreeState());
        EXPECT_EQ(button->FrameStyle(), fsExplorer);
    }

    // The skin's pictures are built in and have the sizes the layout needs.
    EXPECT_EQ(w.imMain->Picture().size(), QSize(400, 210));
    EXPECT_EQ(w.imNum->Count(), 10);
    EXPECT_EQ(w.imCircle->Count(), 12);
    EXPECT_EQ(w.imIcon->Count(), 18);
    EXPECT_EQ(w.imTrackBar->Picture().size(), QSize(370, 18));
    EXPECT_EQ(w.imTrackButton->Picture().size(), QSize(30, 15));
    EXPECT_EQ(w.Image1->Picture().size(), QSize(360, 18));
    EXPECT_EQ(w.n1->ImageList(), w.imNum);
    EXPECT_EQ(w.tb2->ImageList(), w.imCircle);

    // The display as it starts, and the text styles.
    EXPECT_EQ(w.lbFileName->Caption(), "[null]");
    EXPECT_EQ(w.lbStatus->Caption(), "Ready for your command ...");
    EXPECT_EQ(w.lbMaxL->Caption(), "MaxL:0db");
    EXPECT_EQ(w.lbMaxR->Caption(), "MaxR:0db");
    EXPECT_EQ(w.lbleftdb->Caption(), "L:0db");
    EXPECT_EQ(w.lbrightdb->Caption(), "R:0db");
    EXPECT_EQ(win.Digits(), std::vector<int>(6, 0));
    EXPECT_EQ(w.lbFileName->FontColor(), QColor(Qt::white));
    EXPECT_EQ(w.lbStatus->FontColor(), QColor(192, 192, 192));
    EXPECT_EQ(w.lbStatus->Color(), QColor(50, 50, 50));
    EXPECT_EQ(w.lbleftdb->Color(), QColor(150, 138, 42));
    EXPECT_EQ(w.lbMaxR->Color(), QColor(190, 174, 55));
    EXPECT_EQ(w.lbMaxL->font().family(), "Arial");
    EXPECT_FALSE(w.tmRecordCircle->Enabled());
    EXPECT_EQ(w.tmRecordCircle->Interval(), 200);
    EXPECT_FALSE(w.Drag.WindowDragging);
}

TEST(MainWindowDisplay, LevelLabelsAreBlackOnADarkDesktop)
{
    // A dark theme's near-white text would vanish on the light skin.
    const QPalette saved = QApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    {
        fakes::TestWindow win;
        for (auto* label : {win->lbleftdb, win->lbrightdb, win->lbMaxL, win->lbMaxR})
            EXPECT_EQ(label->FontColor(), QColor(Qt::black)) << label->objectName().toStdString();
    }
    QApplication::setPalette(saved);
}

TEST(MainWindowDisplay, PeakLabelsKeepClearOfTheDigitWindowAtTheirLongest)
{
    fakes::TestWindow win;
    // The digit window's frame lies a few pixels left of its first digit.
    const int frame = win->n1->x() - 5;
    for (auto* label : {win->lbMaxL, win->lbMaxR}) {
        const std::string text = label == win->lbMaxL ? "MaxL:-76db" : "MaxR:-76db";
        const int width = QFontMetrics(label->font()).horizontalAdvance(QString::fromStdString(text));
        EXPECT_LE(width, label->width()) << text << " is cut";
        EXPECT_LT(label->x() + label->width(), frame) << text << " touches the digit window";
    }
}

TEST(MainWindowDisplay, TimeDigitsReelsAndTexts)
{
    fakes::TestWindow win;
    TKestrune& w = *win.w;
    w.ShowElapsedTime(1, 2, 3);
    EXPECT_EQ(win.Digits(), (std::vector<int>{0, 1, 0, 2, 0, 3}));
    const int before = w.n1->RepaintRequests();
    w.ShowElapsedTime(0, 0, 0);
    EXPECT_EQ(win.Digits(), std::vector<int>(6, 0));
    w.ShowElapsedTime(0, 0, 0);
    EXPECT_EQ(w.n1->RepaintRequests(), before + 2) << "set every time, even unchanged";
    w.ShowElapsedTime(123, 0, 0);
    EXPECT_EQ(win.Digits(), (std::vector<int>{12, 3, 0, 0, 0, 0}));

    // The first place has no image for 12: the background shows there.
    w.show();
    QImage shot(w.size(), QImage::Format_RGB32);
    w.render(&shot);
    QImage background = w.imMain->Picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.copy(146, 36, 15, 30), background.copy(146, 36, 15, 30));
    EXPECT_NE(shot.copy(162, 36, 15, 30), background.copy(162, 36, 15, 30)) << "the 3 is drawn";

    w.tb1->SetImageIndex(5);
    w.tb2->SetImageIndex(5);
    for (int i = 0; i < 10; ++i)
        w.tmRecordCircle->Tick();
    EXPECT_EQ(w.tb1->ImageIndex(), 3);
    EXPECT_EQ(w.tb2->ImageIndex(), 3);

    w.ShowElapsedTime(4, 5, 6);
    w.StartReelAnimation();
    EXPECT_TRUE(w.tmRecordCircle->Enabled());
    EXPECT_EQ(win.Digits(), std::vector<int>(6, 0));
    w.StopReelAnimation();
    EXPECT_FALSE(w.tmRecordCircle->Enabled());
    EXPECT_EQ(w.tb1->ImageIndex(), 3) << "the reels stay where they are";

    w.ShowStatus("Recording ...");
    EXPECT_EQ(w.lbStatus->Caption(), "Recording ...");
    w.ShowTitle("Recording(00:00:01)");
    EXPECT_EQ(framework::Application().Title(), "Recording(00:00:01)");
    EXPECT_EQ(w.windowTitle(), "Recording(00:00:01)");
    w.ShowFileName("/home/user/take.wav");
    EXPECT_EQ(w.lbFileName->Hint(), "/home/user/take.wav");
}

TEST(TitleStrip, DragStartsLeftOfTheZonesAndZonesActOnRelease)
{
    EXPECT_TRUE(PressStartsWindowDrag(346, 10, 400));
    EXPECT_TRUE(PressStartsWindowDrag(0, 19, 400));
    EXPECT_FALSE(PressStartsWindowDrag(347, 10, 400));
    EXPECT_FALSE(PressStartsWindowDrag(10, 20, 400));

    struct Row {
        int x;
        TitleZone zone;
    };
    const Row rows[] = {{346, TitleZone::None}, {347, TitleZone::About}, {355, TitleZone::About},
        {356, TitleZone::None}, {358, TitleZone::None}, {359, TitleZone::Help}, {367, TitleZone::Help},
        {368, TitleZone::None}, {371, TitleZone::Minimize}, {379, TitleZone::Minimize}, {380, TitleZone::None},
        {383, TitleZone::Close}, {391, TitleZone::Close}, {392, TitleZone::None}, {399, TitleZone::None}};
    for (const Row& row : rows)
        EXPECT_EQ(TitleZoneAt(row.x, 5, 400), row.zone) << row.x;
    EXPECT_EQ(TitleZoneAt(350, 20, 400), TitleZone::None);
}

TEST(TitleStrip, PressReleaseAndDragOnTheWindow)
{
    fakes::TestWindow win;
    TKestrune& w = *win.w;
    int about = 0, help = 0;
    w.About1->OnClick = [&] { ++about; };
    w.Help1->OnClick = [&] { ++help; };

    Send(*w.imMain, QEvent::MouseButtonPress, Qt::LeftButton, {347, 10});
    EXPECT_FALSE(w.Drag.WindowDragging);
    Send(*w.imMain, QEvent::MouseButtonPress, Qt::LeftButton, {10, 20});
    EXPECT_FALSE(w.Drag.WindowDragging);
    Send(*w.imMain, QEvent::MouseButtonPress, Qt::MiddleButton, {346, 10});
    EXPECT_TRUE(w.Drag.WindowDragging) << "any button starts a drag";

    Send(*w.imMain, QEvent::MouseButtonRelease, Qt::LeftButton, {356, 5});
    EXPECT_FALSE(w.Drag.WindowDragging);
    EXPECT_EQ(about + help, 0) << "between the zones: only the drag ends";

    // A press elsewhere, a release on a zone: the zone's command.
    Send(*w.imMain, QEvent::MouseButtonPress, Qt::LeftButton, {200, 100});
    Send(*w.imMain, QEvent::MouseButtonRelease, Qt::LeftButton, {350, 5});
    EXPECT_EQ(about, 1);
    Send(*w.imMain, QEvent::MouseButtonRelease, Qt::LeftButton, {360, 5});
    EXPECT_EQ(help, 1);

    // The window follows the cursor exactly, off the screen as well.
    w.move(100, 100);
    w.Drag.WindowDragging = true;
    w.Drag.DragStartCursor = {QCursor::pos().x() + 150, QCursor::pos().y() + 170};
    w.Drag.DragStartLeft = 100;
    w.Drag.DragStartTop = 100;
    Send(*w.imMain, QEvent::MouseMove, Qt::LeftButton, {20, 10});
    EXPECT_EQ(w.pos(), QPoint(-50, -70));
    w.Drag.WindowDragging = false;
    Send(*w.imMain, QEvent::MouseMove, Qt::LeftButton, {20, 10});
    EXPECT_EQ(w.pos(), QPoint(-50, -70)) << "no drag, no move";
}

TEST(TitleStrip, CloseAndMinimizeZones)
{
    fakes::TestWindow win;
    TKestrune& w = *win.w;
    w.show();
    Send(*w.imMain, QEvent::MouseButtonRelease, Qt::LeftButton, {375, 5});
    EXPECT_TRUE(w.isMinimized());
    w.showNormal();
    Send(*w.imMain, QEvent::MouseButtonRelease, Qt::LeftButton, {385, 5});
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(fakes::ReadWholeFile(win.folder.File("set.ini")).empty()) << "closing saved the settings";
}

TEST(MainWindowMenu, EntriesInOrderOpenedByTheRightButton)
{
    fakes::TestWindow win;
    TKestrune& w = *win.w;
    const std::vector<std::pair<std::string, std::string>> expected = {{"SelectFile1", "Select File ..."},
        {"StartRecording1", "Start Recording"}, {"PauseRecording1", "Pause Recording"},
        {"Startandpauserecording1", "Start and Pause Recording"}, {"StopRecording1", "Stop Recording"}, {"N7", ""},
        {"PlayIt1", "Play It"}, {"StopPlayback1", "Stop Playback"}, {"N10", ""},
        {"Mixerdialog1", "Mixer Dialog ..."}, {"QueueRecording1", "Queue Recording ..."},
        {"Setting1", "Setting ..."}, {"N8", ""}, {"Help1", "Help ..."}, {"About1", "About ..."}, {"N9", ""},
        {"Minimize1", "Minimize"}, {"HidetoTrayIcon1", "Hide to Tray Icon"},
        {"RestorefromTrayIcon1", "Restore from Tray Icon"}, {"Exit1", "Exit"}};
    const auto& items = w.PopupMenu1->Items();
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i]->Name(), expected[i].first);
        EXPECT_EQ(items[i]->IsSeparator(), expected[i].second.empty()) << expected[i].first;
        if (!items[i]->IsSeparator()) {
            EXPECT_EQ(items[i]->Caption(), expected[i].second);
        }
    }

    // A right-button click on the background opens it; "Exit" closes the window.
    w.show();
    fakes::ModalAnswers answers;
    answers.Queue({20, {}});
    Send(*w.imMain, QEvent::MouseButtonPress, Qt::RightButton, {200, 100});
    Send(*w.imMain, QEvent::MouseButtonRelease, Qt::RightButton, {200, 100});
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "PopupMenu1");
    EXPECT_FALSE(w.isVisible());
}
