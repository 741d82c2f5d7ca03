// The skin on dense screens: every picture has a twice-as-dense twin, the window loads the set
// that fits the screen, and its zones answer at the same window point at every scale.
#include "app/SkinRatio.h"
#include "fakes/TestWindow.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QProcess>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const char* const kPictures[] = {"main", "num", "circle", "icon", "trackbar", "trackbutton", "status", "logo"};

// A press and release of the left button at a window point, delivered as the desktop does:
// to the window, which finds the control under the point.
void ClickWindow(QWindow& window, QPoint at)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, at, window.mapToGlobal(at), Qt::LeftButton, held, {});
        QApplication::sendEvent(&window, &event);
    }
}

} // namespace

TEST(SkinScale, EveryPictureHasATwinOfTwiceItsSize)
{
    for (const char* name : kPictures) {
        const QImage plain(QString(":/skin/%1.png").arg(name));
        const QImage dense(QString(":/skin/%1@2x.png").arg(name));
        ASSERT_FALSE(plain.isNull()) << name;
        ASSERT_FALSE(dense.isNull()) << name;
        EXPECT_EQ(dense.size(), plain.size() * 2) << name;
    }
    EXPECT_EQ(SkinPixelRatio(1.0), 1);
    EXPECT_EQ(SkinPixelRatio(1.25), 2);
    EXPECT_EQ(SkinPixelRatio(2.0), 2);
}

// Run by the test below in a process of its own, whose desktop scale is set before Qt starts.
TEST(SkinScale, ChildAtTheScaleItWasGiven)
{
    if (qEnvironmentVariableIsEmpty("KESTRUNE_SCALE_CHILD"))
        GTEST_SKIP() << "run by SkinScale.ZonesAnswerAtTheSameWindowPointAtEveryScale";
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
    fakes::TestWindow win;
    TKestrune& w = *win.w;
    w.show();
    ASSERT_DOUBLE_EQ(w.devicePixelRatio(), scale);
    // The set that fits: drawn at twice the pixels on any denser screen, laid out the same.
    const QImage& background = w.imMain->Picture();
    EXPECT_DOUBLE_EQ(background.devicePixelRatio(), scale > 1 ? 2.0 : 1.0);
    EXPECT_EQ(w.imMain->size(), QSize(400, 210));
    EXPECT_EQ(background.size(), QSize(400, 210) * (scale > 1 ? 2 : 1));
    // The minimize glyph's zone, then the close glyph's, at their window points.
    ClickWindow(*w.windowHandle(), {375, 8});
    EXPECT_TRUE(w.isMinimized()) << "scale " << scale;
    w.showNormal();
    ClickWindow(*w.windowHandle(), {385, 8});
    EXPECT_FALSE(w.isVisible()) << "scale " << scale;
}

TEST(SkinScale, ZonesAnswerAtTheSameWindowPointAtEveryScale)
{
    for (const char* scale : {"1", "1.5", "2"}) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KESTRUNE_SCALE_CHILD", "1");
        env.insert("QT_SCALE_FACTOR", scale);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QApplication::applicationFilePath(), {"--gtest_filter=SkinScale.ChildAtTheScaleItWasGiven"});
        ASSERT_TRUE(child.waitForFinished(60000)) << "scale " << scale;
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << "scale " << scale << "\n" << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    }
}
