// The Input page against a real sound server (record-input-from-server.sh starts it): a tone
// plays into one output and not into the other; the bar of that output's monitor fills on
// the screen while the others stay empty.
#include "fakes/BarPixels.h"
#include "settings/InputLevelBar.h"
#include "settings/SettingDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

int RowOf(const QTreeWidget* list, const QString& source)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, Qt::UserRole).toString() == source)
            return i;
    return -1;
}


} // namespace

TEST(InputPageOnServer, TheBarOfTheInputThatCarriesSoundMoves)
{
    const char* tone = std::getenv("KESTRUNE_INPUT_TONE");   // a monitor that hears a tone
    const char* quiet = std::getenv("KESTRUNE_INPUT_QUIET"); // the default source, silent
    if (!tone || !quiet)
        GTEST_SKIP() << "needs the sound server of record-input-from-server.sh";
    RecorderSettings settings;
    TfmSet d(nullptr, settings, nullptr, &platform::OpenServerLevelWatch);
    d.show();
    d.ShowPage("Input");
    const QTreeWidget* list = d.InputPage->lvInput;
    const int toneRow = RowOf(list, tone);
    const int quietRow = RowOf(list, quiet);
    ASSERT_GE(toneRow, 1) << "the monitor is listed";
    ASSERT_GE(quietRow, 1);
    EXPECT_EQ(list->topLevelItem(toneRow)->text(0).toStdString().rfind("Monitor of ", 0), 0u)
        << list->topLevelItem(toneRow)->text(0).toStdString();

    // The tone is at half of full scale (-6 dB): nine tenths of the bar.
    TInputLevelBar* toneBar = d.InputPage->Bar(toneRow);
    QElapsedTimer waited;
    waited.start();
    while (toneBar->FilledWidth() < toneBar->width() * 3 / 4 && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::printf("the tone's bar filled %d of %d pixels after %lld ms\n", toneBar->FilledWidth(), toneBar->width(),
        static_cast<long long>(waited.elapsed()));
    EXPECT_GE(fakes::GreenColumns(toneBar), toneBar->width() * 3 / 4);
    for (int row : {0, quietRow})
        EXPECT_EQ(fakes::GreenColumns(d.InputPage->Bar(row)), 0) << "row " << row << " hears nothing";
}
