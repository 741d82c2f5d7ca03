#include "app/Kestrune.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TempFolder.h"
#include "framework/Application.h"

#include <gtest/gtest.h>

TEST(Kestrune, LoadsSetIniOnCreationAndSavesItOnClose)
{
    fakes::TempFolder folder;
    folder.BecomeExeFolder();
    fakes::WriteWholeFile(folder.File("set.ini"), "[set]\nRecordType=0\n[Queue]\nCount=1\nDate0=Sunday\n");
    RecordingQueue queue;
    {
        TKestrune window(queue);
        EXPECT_EQ(window.Settings.Format.RecordType, 0);
        ASSERT_EQ(queue.Entries.size(), 1u);
        EXPECT_EQ(queue.Entries[0].Date, "Sunday");
        EXPECT_EQ(window.size(), QSize(400, 210));
        EXPECT_EQ(framework::Application().Title(), "Kestrune");
        EXPECT_EQ(window.windowTitle(), "Kestrune");
        window.Settings.Format.Mp3Rate = 192;
        window.show();
        window.Close();
        framework::Application().SetMainForm(nullptr);
    }
    const auto text = fakes::ReadWholeFile(folder.File("set.ini"));
    EXPECT_NE(text.find("MP3 Rate=192\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Date0=Sunday\n"), std::string::npos);
}
