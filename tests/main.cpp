// The one test main: the Qt application object exists once for every test, on the offscreen
// platform (KESTRUNE_TEST_PLATFORM names another, for tests that need a display), and no modal
// interaction can wait for a user.
#include "fakes/ModalAnswers.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const QByteArray platform = qgetenv("KESTRUNE_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new fakes::UnexpectedModalGuard);
    return RUN_ALL_TESTS();
}
