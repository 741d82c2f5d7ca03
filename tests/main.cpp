// The one test main: the Qt application object exists once for every test, on the offscreen
// platform, and no modal interaction can wait for a user.
#include "fakes/ModalAnswers.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new fakes::UnexpectedModalGuard);
    return RUN_ALL_TESTS();
}
