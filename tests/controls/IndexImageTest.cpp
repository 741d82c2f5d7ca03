#include "controls/IndexImage.h"
#include "framework/ImageList.h"

#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QColor Background(0, 0, 255);

// A 60 x 60 frame whose left half is red and right half transparent, and a green one.
QImage HalfRed()
{
    QImage image(60, 60, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(0, 0, 30, 60, QColor(255, 0, 0));
    return image;
}

struct Scene {
    QWidget parent;
    framework::TImageList list{nullptr, 60, 60};
    TIndexImage image{&parent, "tb1"};
    Scene()
    {
        parent.resize(80, 80);
        QPalette palette;
        palette.setColor(QPalette::Window, Background);
        parent.setPalette(palette);
        parent.setAutoFillBackground(true);
        list.Add(HalfRed());
        QImage green(60, 60, QImage::Format_RGB32);
        green.fill(QColor(0, 255, 0));
        list.AddMasked(green, QColor(255, 0, 255));
        image.setGeometry(0, 0, 57, 60); // the left reel: three columns narrower than its frames
    }
    QImage Shot()
    {
        QImage shot(parent.size(), QImage::Format_RGB32);
        parent.render(&shot);
        return shot;
    }
};

} // namespace

TEST(IndexImage, DrawsTheChosenImageThroughItsMask)
{
    Scene s;
    EXPECT_EQ(TIndexImage().size(), QSize(40, 40)) << "the constructor's size";
    s.image.SetImageList(&s.list);
    s.image.SetImageIndex(0);
    QImage shot = s.Shot();
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(40, 5), Background) << "transparent part: the parent shows";

    s.image.SetImageIndex(1);
    shot = s.Shot();
    EXPECT_EQ(shot.pixelColor(56, 30), QColor(0, 255, 0));
    EXPECT_EQ(shot.pixelColor(57, 30), Background) << "cut at the control's right edge";
}

TEST(IndexImage, OutOfRangeOrNoListDrawsNothing)
{
    Scene s;
    s.image.SetImageList(&s.list);
    for (int index : {-1, 2, 1000}) {
        s.image.SetImageIndex(index);
        EXPECT_EQ(s.image.ImageIndex(), index) << "any value is kept";
        EXPECT_EQ(s.Shot().pixelColor(5, 5), Background) << index;
    }
    s.image.SetImageList(nullptr);
    s.image.SetImageIndex(0);
    EXPECT_EQ(s.Shot().pixelColor(5, 5), Background);
    EXPECT_EQ(s.image.geometry(), QRect(0, 0, 57, 60)) << "still occupies its place";
}

TEST(IndexImage, EverySetAsksForARepaint)
{
    Scene s;
    const int before = s.image.RepaintRequests();
    s.image.SetImageIndex(3);
    s.image.SetImageIndex(3);
    EXPECT_EQ(s.image.RepaintRequests(), before + 2);
    s.image.SetImageList(&s.list);
    EXPECT_EQ(s.image.RepaintRequests(), before + 2) << "assigning the list does not repaint";
}

TEST(ImageList, MaskedStripAndOpaqueDrawing)
{
    framework::TImageList list(nullptr, 10, 10);
    QImage strip(30, 10, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    QPainter(&strip).fillRect(10, 0, 10, 10, QColor(10, 20, 30));
    list.AddStrip(strip);
    ASSERT_EQ(list.Count(), 3);

    framework::TImageList masked(nullptr, 10, 10);
    for (int i = 0; i < 3; ++i)
        masked.AddMasked(strip.copy(10 * i, 0, 10, 10), QColor(255, 0, 255));
    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    masked.Draw(p, 0, 0, 0, true);
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(Qt::white)) << "mask colour is transparent";
    masked.Draw(p, 0, 0, 1, true);
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(10, 20, 30));
    list.Draw(p, 0, 0, 0, false);
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(255, 0, 255)) << "opaque drawing ignores nothing";
    masked.Draw(p, 0, 0, 5, true); // outside: nothing
    p.end();
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(255, 0, 255));
}
