// The framework parts the skin is made of: labels, pictures and pop-up menus.
#include "fakes/ModalAnswers.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/PopupMenu.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace framework;

namespace {
// The parent is magenta, so whatever a child leaves unpainted shows as magenta.
QImage Shot(QWidget& widget)
{
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::magenta);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
    QImage shot(widget.size(), QImage::Format_RGB32);
    widget.render(&shot);
    return shot;
}

void Release(QWidget& widget, Qt::MouseButton button, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), button, button, {});
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), button, {}, {});
    QApplication::sendEvent(&widget, &release);
}
} // namespace

TEST(SkinLabel, OpaqueOneLineCutAtTheRightEdge)
{
    QWidget parent;
    parent.resize(100, 30);
    TLabel label(&parent, "lbStatus");
    label.SetBounds(0, 0, 40, 14);
    label.SetColor(QColor(50, 50, 50));
    label.SetFontColor(Qt::white);
    EXPECT_EQ(label.font().pixelSize(), 11);

    QImage shot = Shot(parent);
    EXPECT_EQ(shot.pixelColor(20, 7), QColor(50, 50, 50)) << "an empty label still fills its place";

    label.SetCaption("WWWWWWWWWWWWWWWWWWWW\nsecond line");
    shot = Shot(parent);
    int lit = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 14; ++y)
            lit += shot.pixelColor(x, y).lightness() > 128;
    EXPECT_GT(lit, 40) << "the text is drawn in the font colour";
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(shot.pixelColor(41, y), QColor(Qt::magenta)) << "nothing beyond the right edge, row " << y;
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(shot.pixelColor(x, 15), QColor(Qt::magenta)) << "no second line below, column " << x;
}

TEST(SkinPicture, AutoSizeAndDrawingOnItsCanvas)
{
    QWidget parent;
    parent.resize(50, 50);
    TImage image(&parent, "imMain");
    QImage picture(30, 20, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixelColor(3, 4, Qt::red);
    image.SetPicture(picture);
    EXPECT_EQ(image.size(), QSize(105, 105)) << "without AutoSize the size stays";
    image.SetAutoSize(true);
    EXPECT_EQ(image.size(), QSize(30, 20));

    QImage shot = Shot(parent);
    EXPECT_EQ(shot.pixelColor(3, 4), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(Qt::magenta)) << "transparent pixels show the parent";

    image.Canvas().setPixelColor(10, 10, Qt::green);
    image.Invalidate();
    EXPECT_EQ(Shot(parent).pixelColor(10, 10), QColor(Qt::green));
}

TEST(SkinPopupMenu, ChosenEntryRunsAfterTheMenuAndHiddenOnesNever)
{
    TPopupMenu menu(nullptr, "PopupMenu1");
    std::vector<std::string> ran;
    menu.Add("First1", "First", [&] { ran.push_back("first"); });
    menu.AddSeparator("N1");
    auto* second = menu.Add("Second1", "Second ...", [&] { ran.push_back("second"); });
    auto* bare = menu.Add("Bare1", "Nothing bound");
    ASSERT_EQ(menu.Items().size(), 4u);
    EXPECT_TRUE(menu.Items()[1]->IsSeparator());
    EXPECT_EQ(menu.Find("Second1"), second);
    EXPECT_EQ(menu.Find("Missing"), nullptr);

    fakes::ModalAnswers answers;
    answers.Queue({3, {}});
    menu.Popup(120, 80);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::PopupMenu);
    EXPECT_EQ(answers.Seen()[0].text, "PopupMenu1");
    EXPECT_EQ(answers.Seen()[0].x, 120);
    EXPECT_EQ(ran, std::vector<std::string>{"second"});

    second->SetVisible(false);
    second->SetCaption("Renamed");
    EXPECT_EQ(second->Caption(), "Renamed");
    answers.Queue({3, {}}); // hidden: cannot be chosen
    answers.Queue({2, {}}); // a separator
    answers.Queue({4, {}}); // no command bound
    answers.Queue({0, {}}); // dismissed
    for (int i = 0; i < 4; ++i)
        menu.Popup(0, 0);
    EXPECT_EQ(ran, std::vector<std::string>{"second"});
    (void)bare;
}

TEST(SkinPopupMenu, OpensOnTheRightButtonsReleaseAfterTheReleaseHandler)
{
    TImage image(nullptr, "imMain");
    image.resize(50, 50);
    TPopupMenu menu(nullptr, "PopupMenu1");
    std::vector<std::string> order;
    menu.Add("Exit1", "Exit", [&] { order.push_back("menu"); });
    image.OnMouseUp = [&](TMouseButton, Qt::KeyboardModifiers, int, int) { order.push_back("up"); };
    image.SetPopupMenu(&menu);

    fakes::ModalAnswers answers({1, {}});
    Release(image, Qt::LeftButton, {5, 5});
    EXPECT_TRUE(answers.Seen().empty()) << "the left button opens no menu";
    Release(image, Qt::RightButton, {5, 5});
    EXPECT_EQ(order, (std::vector<std::string>{"up", "up", "menu"}));
    {
        TPopupMenu gone;
        image.SetPopupMenu(&gone);
    }
    EXPECT_EQ(image.PopupMenu(), nullptr) << "a destroyed menu is no longer referenced";
}
