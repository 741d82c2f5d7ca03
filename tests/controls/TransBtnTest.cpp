// Pixel and mouse tests of the transparent image button.
#include "controls/TransBtn.h"
#include "fakes/ModalAnswers.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Distinct colours for every role, so that each pixel says who painted it.
const QColor Back(0, 128, 128), Face(200, 200, 200), Light(250, 250, 240), Mid(128, 128, 128), Dark(64, 64, 64),
    Black(0, 0, 0), Ink(255, 255, 0), Red(255, 0, 0), Green(0, 255, 0), Blue(0, 0, 255), Purple(160, 0, 160);
constexpr int Org = 10; // the button's place in its parent

QImage Solid(QColor colour)
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

struct Scene {
    QWidget parent;
    framework::TImageList list{nullptr, 20, 20};
    TTransparentButton button{&parent, "tbRecord"};
    explicit Scene(int w = 32, int h = 32)
    {
        parent.resize(w + 2 * Org, h + 2 * Org);
        QPalette p;
        p.setColor(QPalette::Window, Back);
        p.setColor(QPalette::Button, Face);
        p.setColor(QPalette::Light, Light);
        p.setColor(QPalette::Mid, Mid);
        p.setColor(QPalette::Shadow, Dark);
        p.setColor(QPalette::WindowText, Ink);
        parent.setPalette(p);
        parent.setAutoFillBackground(true);
        QFont font("Liberation Sans");
        font.setPixelSize(11);
        font.setStyleStrategy(QFont::NoAntialias);
        parent.setFont(font);
        for (QColor c : {Red, Green, Blue, Purple})
            list.Add(Solid(c));
        QImage holed = Solid(Purple); // index 4: its left half is transparent
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 10; ++x)
                holed.setPixelColor(x, y, Qt::transparent);
        list.Add(holed);
        button.SetBounds(Org, Org, w, h);
        button.SetImageList(&list);
    }
    QImage Shot()
    {
        QImage shot(parent.size(), QImage::Format_RGB32);
        parent.render(&shot);
        return shot;
    }
    // A pixel of the last shot, in the button's coordinates.
    QColor At(int x, int y) const { return last.pixelColor(Org + x, Org + y); }
    Scene& Snap()
    {
        last = Shot();
        return *this;
    }
    QImage last;

    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton which, Qt::MouseButtons held)
    {
        QMouseEvent e(type, QPointF(p), QPointF(button.mapToGlobal(p)), which, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &e);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { Mouse(QEvent::MouseButtonPress, p, b, b); }
    void Move(QPoint p, Qt::MouseButtons held = Qt::LeftButton) { Mouse(QEvent::MouseMove, p, Qt::NoButton, held); }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { Mouse(QEvent::MouseButtonRelease, p, b, {}); }
    void Enter()
    {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(button.mapToGlobal(QPoint(5, 5))));
        QCoreApplication::sendEvent(&button, &e);
    }
    void Leave()
    {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(&button, &e);
    }
};

// Ring i of a w x h button: left and top edges in a, right and bottom in b, top-left corner a.
void ExpectRing(const Scene& s, int i, QColor a, QColor b, int w = 32, int h = 32)
{
    const int r = w - 1 - i, bt = h - 1 - i, mx = w / 2, my = h / 2;
    EXPECT_EQ(s.At(i, i), a) << "top-left, ring " << i;
    EXPECT_EQ(s.At(i, my), a) << "left, ring " << i;
    EXPECT_EQ(s.At(mx, i), a) << "top, ring " << i;
    EXPECT_EQ(s.At(r, i), b) << "top-right, ring " << i;
    EXPECT_EQ(s.At(i, bt), b) << "bottom-left, ring " << i;
    EXPECT_EQ(s.At(r, bt), b) << "bottom-right, ring " << i;
    EXPECT_EQ(s.At(r, my), b) << "right, ring " << i;
    EXPECT_EQ(s.At(mx, bt), b) << "bottom, ring " << i;
}

// The 20 x 20 glyph of that colour has its top-left at (x, y).
void ExpectGlyph(const Scene& s, int x, int y, QColor c)
{
    EXPECT_EQ(s.At(x, y), c) << "glyph top-left at " << x << "," << y;
    EXPECT_EQ(s.At(x + 19, y + 19), c) << "glyph bottom-right";
    EXPECT_NE(s.At(x - 1, y - 1), c) << "glyph starts at " << x << "," << y;
    EXPECT_NE(s.At(x + 20, y + 20), c) << "glyph ends at " << x + 19 << "," << y + 19;
}

// The bounding box of the pixels where two shots differ.
QRect Diff(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(TransparentButton, MainWindowButtonIdleHotPressedDraggedOut)
{
    EXPECT_EQ(TTransparentButton().size(), QSize(40, 40));
    Scene s;
    EXPECT_EQ(s.button.FrameStyle(), fsExplorer);
    EXPECT_TRUE(s.button.Transparent() && s.button.AutoGray() && s.button.ShowPressed());
    EXPECT_EQ(s.button.TextAlign(), ttaCenter);
    EXPECT_EQ(s.button.Spacing(), 2);
    int clicks = 0;
    s.button.OnClick = [&] { ++clicks; };

    s.Snap();
    ExpectGlyph(s, 6, 6, Red);
    ExpectRing(s, 0, Back, Back);

    s.Enter();
    s.Snap();
    ExpectRing(s, 0, Light, Mid);
    EXPECT_EQ(s.At(1, 1), Back) << "one ring only";
    ExpectGlyph(s, 6, 6, Red);

    s.Press({10, 10});
    s.Snap();
    ExpectRing(s, 0, Mid, Light);
    EXPECT_EQ(s.At(1, 1), Back);
    ExpectGlyph(s, 7, 7, Red);

    s.Move({40, 10}); // dragged off: the pointer leaves while the mouse button is held
    s.Snap();
    EXPECT_FALSE(s.button.DrawnPressed());
    EXPECT_FALSE(s.button.PointerInside());
    ExpectRing(s, 0, Back, Back);
    ExpectGlyph(s, 6, 6, Red);

    s.Move({12, 12});
    s.Snap();
    ExpectRing(s, 0, Mid, Light);
    ExpectGlyph(s, 7, 7, Red);

    s.Release({12, 12});
    s.Snap();
    EXPECT_EQ(clicks, 1);
    ExpectRing(s, 0, Light, Mid); // hot again after the click
    ExpectGlyph(s, 6, 6, Red);
}

TEST(TransparentButton, ClickOrderDoubleClickRightButtonAndDisabling)
{
    Scene s;
    std::vector<std::string> log;
    s.button.OnMouseDown = [&](framework::TMouseButton b, Qt::KeyboardModifiers, int x, int y) {
        log.push_back("down" + std::to_string(int(b)) + "@" + std::to_string(x) + "," + std::to_string(y));
    };
    s.button.OnMouseUp = [&](framework::TMouseButton, Qt::KeyboardModifiers, int, int) { log.push_back("up"); };
    s.button.OnClick = [&] { log.push_back(s.button.DrawnPressed() && s.button.Held() ? "click(pressed)" : "click"); };

    s.Press({3, 4});
    s.Press({5, 5}, Qt::RightButton); // a second press while held is ignored
    s.Release({3, 4});
    EXPECT_EQ(log, (std::vector<std::string>{"down0@3,4", "click(pressed)", "up"}));

    log.clear();
    s.Press({3, 4});
    s.Release({3, 4});
    s.Mouse(QEvent::MouseButtonDblClick, {3, 4}, Qt::LeftButton, Qt::LeftButton);
    s.Release({3, 4});
    EXPECT_EQ(std::count(log.begin(), log.end(), "click(pressed)"), 2) << "a double-click is two clicks";

    log.clear();
    s.Press({3, 4});
    s.Release({50, 4});
    EXPECT_EQ(log, (std::vector<std::string>{"down0@3,4", "up"})) << "released outside: no click";

    log.clear();
    s.Press({8, 8}, Qt::RightButton);
    s.Snap();
    ExpectGlyph(s, 7, 7, Red);
    EXPECT_TRUE(s.button.DrawnPressed());
    s.Release({8, 8}, Qt::RightButton);
    EXPECT_EQ(log, (std::vector<std::string>{"down1@8,8", "up"})) << "right button: pressed look, no click";

    log.clear();
    s.Enter();
    s.Press({8, 8});
    s.button.setEnabled(false);
    EXPECT_FALSE(s.button.DrawnPressed() || s.button.Held() || s.button.Tracking() || s.button.PointerInside());
    s.Snap();
    ExpectGlyph(s, 6, 6, Red);
    ExpectRing(s, 0, Back, Back);
    s.button.setEnabled(true);
    s.Release({8, 8});
    EXPECT_EQ(log, (std::vector<std::string>{"down0@8,8"})) << "the press died with the disabling";
}

TEST(TransparentButton, DownLatchesThePressedLook)
{
    Scene s;
    int ups = 0, clicks = 0;
    s.button.OnMouseUp = [&](framework::TMouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };
    s.button.OnClick = [&] { ++clicks; };
    s.button.SetDown(true);
    EXPECT_TRUE(s.button.Tracking());
    s.Snap();
    ExpectRing(s, 0, Mid, Light); // sunken with the pointer elsewhere
    ExpectGlyph(s, 7, 7, Red);

    s.Press({5, 5});
    s.Release({5, 5});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ups, 0) << "a latched button says nothing on release";
    EXPECT_TRUE(s.button.DrawnPressed());
    EXPECT_FALSE(s.button.Held());

    const int before = s.button.RepaintRequests();
    s.button.SetDown(true);
    EXPECT_EQ(s.button.RepaintRequests(), before);
    s.button.SetDown(false);
    EXPECT_EQ(s.button.RepaintRequests(), before + 1);
    s.Snap();
    ExpectRing(s, 0, Back, Back);
    ExpectGlyph(s, 6, 6, Red);
}

TEST(TransparentButton, GlyphChoiceThreeStateAutoGrayAndRepaints)
{
    Scene s;
    s.button.SetThreeState(true);
    s.button.SetNumGlyphs(3);
    ExpectGlyph(s.Snap(), 6, 6, Red);
    s.Enter();
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.Press({5, 5});
    ExpectGlyph(s.Snap(), 6, 6, Blue); // three-state: not moved
    ExpectRing(s, 0, Mid, Light);
    s.Move({-5, 5});
    ExpectGlyph(s.Snap(), 6, 6, Red); // back to the first as soon as the pointer leaves
    s.Release({-5, 5});

    // Not three-state, three glyphs, a style without AutoGray: +1 hot, +2 pressed (moved).
    s.button.SetThreeState(false);
    s.button.SetFrameStyle(fsLight);
    s.Enter();
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.Press({5, 5});
    ExpectGlyph(s.Snap(), 7, 7, Blue);
    s.Release({5, 5});

    // Two glyphs: the second when disabled, unless AutoGray in fsExplorer keeps the first.
    s.button.SetNumGlyphs(2);
    s.button.setEnabled(false);
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.button.SetFrameStyle(fsExplorer);
    ExpectGlyph(s.Snap(), 6, 6, Red);
    s.button.SetAutoGray(false);
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.button.SetNumGlyphs(9);
    EXPECT_EQ(s.button.NumGlyphs(), 4);
    ExpectGlyph(s.Snap(), 6, 6, Green); // four glyphs: +1 when disabled
    s.button.setEnabled(true);

    int before = s.button.RepaintRequests();
    s.button.SetImageIndex(s.button.ImageIndex());
    EXPECT_EQ(s.button.RepaintRequests(), before + 1) << "ImageIndex repaints even unchanged";
    s.button.SetSpacing(s.button.Spacing());
    s.button.SetThreeState(true);
    s.button.SetCaption("");
    s.button.SetBorderWidth(1);
    EXPECT_EQ(s.button.RepaintRequests(), before + 1) << "unchanged values and ThreeState do not";
    s.button.SetSpacing(3);
    EXPECT_EQ(s.button.RepaintRequests(), before + 2);

    // Opaque: the glyph's transparent part shows the face; an index past the list, nothing.
    s.button.SetThreeState(false);
    s.button.SetNumGlyphs(1);
    s.button.SetImageIndex(4);
    s.Snap();
    EXPECT_EQ(s.At(6, 6), Back);
    EXPECT_EQ(s.At(16, 6), Purple);
    s.button.SetTransparent(false);
    s.Snap();
    EXPECT_EQ(s.At(6, 6), Face);
    s.button.SetImageIndex(5);
    s.button.SetTransparent(true);
    EXPECT_EQ(s.Snap().At(16, 6), Back);
}

TEST(TransparentButton, FrameStylesPassByPass)
{
    struct Row {
        const char* name;
        TFrameStyle style;
        bool transparent, pressed;
        uint32_t width;
        std::vector<std::tuple<int, QColor, QColor>> rings;
        std::vector<std::tuple<int, int, QColor>> pixels;
    };
    const std::vector<Row> rows = {
        {"regular", fsRegular, true, false, 1, {{0, Face, Mid}}, {{1, 16, Black}, {16, 1, Black}, {3, 3, Back}}},
        {"regular pressed", fsRegular, true, true, 1, {{0, Mid, Face}}, {{1, 16, Black}, {3, 3, Back}}},
        {"regular opaque", fsRegular, false, false, 1, {{0, Face, Mid}}, {{1, 16, Black}, {3, 3, Face}}},
        {"regular 2", fsRegular, true, false, 2, {{0, Face, Mid}, {1, Face, Mid}},
            {{2, 16, Black}, {29, 16, Back}, {3, 3, Back}}},
        {"indent", fsIndent, true, false, 1, {{0, Mid, Light}}, {{1, 16, Light}, {30, 16, Mid}, {16, 30, Mid}, {3, 3, Back}}},
        {"indent pressed", fsIndent, true, true, 1, {{0, Mid, Face}}, {{1, 16, Light}, {30, 16, Mid}}},
        {"indent opaque", fsIndent, false, false, 1, {{0, Mid, Light}}, {{1, 16, Light}, {30, 16, Mid}, {3, 3, Face}}},
        {"indent 2", fsIndent, true, false, 2, {{0, Mid, Light}, {1, Mid, Light}},
            {{2, 16, Light}, {29, 16, Mid}, {3, 16, Back}, {28, 16, Back}}},
        {"explorer", fsExplorer, true, false, 1, {{0, Back, Back}}, {}},
        {"explorer opaque", fsExplorer, false, false, 1, {{0, Face, Face}}, {{3, 3, Face}}},
        {"explorer pressed, pointer not over it", fsExplorer, true, true, 1, {{0, Back, Back}}, {}},
        {"light", fsLight, true, false, 2, {{0, Light, Mid}}, {{1, 16, Back}}},
        {"light pressed", fsLight, true, true, 1, {{0, Mid, Light}}, {}},
        {"dark", fsDark, true, false, 1, {{0, Face, Dark}}, {}},
        {"dark pressed", fsDark, true, true, 1, {{0, Dark, Face}}, {}},
        {"mono", fsMono, true, false, 1, {{0, Light, Dark}}, {{1, 1, Back}}},
        {"mono pressed opaque", fsMono, false, true, 1, {{0, Dark, Light}}, {{3, 3, Face}}},
        {"none", fsNone, true, false, 1, {{0, Back, Back}}, {}},
        {"none pressed", fsNone, true, true, 1, {{0, Back, Back}}, {}},
        {"none opaque", fsNone, false, false, 1, {{0, Face, Face}}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene s;
        s.button.SetImageList(nullptr);
        s.button.SetFrameStyle(row.style);
        s.button.SetTransparent(row.transparent);
        s.button.SetBorderWidth(row.width);
        if (row.pressed)
            s.Press({10, 10});
        s.Snap();
        for (const auto& [i, a, b] : row.rings)
            ExpectRing(s, i, a, b);
        for (const auto& [x, y, c] : row.pixels)
            EXPECT_EQ(s.At(x, y), c) << x << "," << y;
    }

    // Without ShowPressed: no pressed frame in fsRegular (only the black background frame);
    // in fsExplorer with the pointer over it, the raised frame, and the glyph stays put.
    Scene s;
    s.button.SetShowPressed(false);
    s.button.SetFrameStyle(fsRegular);
    s.Press({10, 10});
    s.Snap();
    EXPECT_EQ(s.At(0, 16), Back);
    EXPECT_EQ(s.At(31, 16), Black);
    s.Release({10, 10});
    s.button.SetFrameStyle(fsExplorer);
    s.button.SetBorderWidth(2);
    s.Enter();
    s.Press({10, 10});
    s.Snap();
    ExpectRing(s, 0, Light, Mid);
    ExpectRing(s, 1, Light, Mid);
    ExpectGlyph(s, 6, 6, Red);
}

TEST(TransparentButton, CaptionPlacedByTextAlignAndEmbossedWhenDisabled)
{
    // Each row: where the glyph stands and where the caption's box stands, from tw and th.
    struct Row {
        TTextAlign align;
        QPoint glyph;
        std::function<QPoint(int, int)> box;
    };
    const std::vector<Row> rows = {
        {ttaTopLeft, {40, 58}, [](int, int th) { return QPoint(2, 58 - th - 2); }},
        {ttaTop, {40, 58}, [](int tw, int th) { return QPoint(50 - tw / 2, 56 - th); }},
        {ttaRight, {2, 30}, [](int tw, int th) { return QPoint(98 - tw, 40 - th / 2); }},
        {ttaBottomRight, {40, 2}, [](int tw, int) { return QPoint(98 - tw, 24); }},
        {ttaBottom, {40, 2}, [](int tw, int) { return QPoint(50 - tw / 2, 24); }},
        {ttaLeft, {78, 30}, [](int, int th) { return QPoint(2, 40 - th / 2); }},
        {ttaCenter, {40, 30}, [](int tw, int th) { return QPoint(50 - tw / 2, 40 - th / 2); }},
    };
    const QString text = "&Record";
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.align));
        Scene s(100, 80);
        s.button.SetTextAlign(row.align);
        const QImage bare = s.Shot();
        s.button.SetCaption(text.toStdString());
        s.Snap();
        ExpectGlyph(s, row.glyph.x(), row.glyph.y(), Red);

        // The same text drawn by hand in its box must leave the same marks.
        const QRect size = QFontMetrics(s.button.font()).boundingRect(QRect(), flags, text);
        const QPoint at = row.box(size.width(), size.height()) + QPoint(Org, Org);
        QImage reference = bare;
        QPainter p(&reference);
        p.setFont(s.button.font());
        p.setPen(Ink);
        p.drawText(QRect(at, size.size()), flags, text);
        p.end();
        const QRect expected = Diff(bare, reference);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(Diff(bare, s.last), expected);
    }

    Scene s(100, 80);
    s.button.SetImageList(nullptr);
    s.button.SetTextAlign(ttaTop);
    const QImage bare = s.Shot();
    s.button.SetCaption("Record");
    EXPECT_TRUE(Diff(bare, s.Shot()).isEmpty()) << "above the top edge: not seen";

    s.button.SetTextAlign(ttaCenter);
    const QRect enabled = Diff(bare, s.Snap().last);
    s.button.setEnabled(false);
    const QImage disabled = s.Shot();
    EXPECT_EQ(Diff(bare, disabled), enabled.adjusted(0, 0, 1, 1)) << "highlight copy one pixel down and right";
    bool shadow = false, highlight = false, ink = false;
    for (int y = enabled.top(); y <= enabled.bottom() + 1; ++y)
        for (int x = enabled.left(); x <= enabled.right() + 1; ++x) {
            const QColor c = disabled.pixelColor(x, y);
            shadow |= c == Mid;
            highlight |= c == Light;
            ink |= c == Ink;
        }
    EXPECT_TRUE(shadow && highlight && !ink);
    bool lowest = false; // the row below the text holds only the highlight copy
    for (int x = enabled.left(); x <= enabled.right() + 1; ++x) {
        const QColor c = disabled.pixelColor(x, enabled.bottom() + 1);
        EXPECT_TRUE(c == Light || c == Back) << x;
        lowest |= c == Light;
    }
    EXPECT_TRUE(lowest);
}

TEST(TransparentButton, AcceleratorMovableAndPopUpMenu)
{
    Scene s;
    int clicks = 0, ups = 0, enters = 0, exits = 0;
    s.button.OnClick = [&] { ++clicks; };
    s.button.OnMouseUp = [&](framework::TMouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };
    s.button.OnMouseEnter = [&] { ++enters; };
    s.button.OnMouseExit = [&] { ++exits; };
    s.button.SetCaption("&Record");
    QShortcutEvent altR(QKeySequence(Qt::ALT | Qt::Key_R), 0);
    QShortcutEvent altX(QKeySequence(Qt::ALT | Qt::Key_X), 0);
    EXPECT_TRUE(QCoreApplication::sendEvent(&s.button, &altR));
    EXPECT_FALSE(QCoreApplication::sendEvent(&s.button, &altX));
    s.button.setEnabled(false);
    s.Enter();
    QCoreApplication::sendEvent(&s.button, &altR);
    EXPECT_EQ(clicks, 1) << "only an enabled button answers its accelerator";
    EXPECT_EQ(enters, 0);
    s.Leave();
    s.button.setEnabled(true);

    s.Enter();
    s.Enter();
    EXPECT_EQ(enters, 1);
    s.button.SetMovable(true);
    s.Press({5, 5});
    s.Move({15, 8});
    EXPECT_EQ(s.button.pos(), QPoint(Org + 10, Org + 3));
    s.Move({5, 5});
    EXPECT_EQ(s.button.pos(), QPoint(Org + 10, Org + 3)) << "the pointer stayed on the press point";
    EXPECT_EQ(exits, 0);
    s.Release({5, 5});
    EXPECT_EQ(clicks, 2);

    fakes::ModalAnswers answers;
    auto* menu = new framework::TPopupMenu(nullptr, "pmFormat");
    bool pressedWhileChosen = false;
    menu->Add("miWav", "&WAV", [&] { pressedWhileChosen = s.button.DrawnPressed(); });
    answers.Queue({1, {}});
    s.button.SetMovable(false);
    s.button.SetPopUpMenu(menu);
    ups = 0;
    s.Press({5, 5});
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, framework::ModalKind::PopupMenu);
    EXPECT_EQ(QPoint(answers.Seen()[0].x, answers.Seen()[0].y), s.button.mapToGlobal(QPoint(0, 32)));
    EXPECT_TRUE(pressedWhileChosen);
    EXPECT_EQ(ups, 1) << "the release ran when the menu closed";
    EXPECT_FALSE(s.button.Held() || s.button.DrawnPressed());
    s.Release({5, 5});
    EXPECT_EQ(clicks, 2) << "a release after the menu is no click";
    delete menu;
    EXPECT_EQ(s.button.PopUpMenu(), nullptr);
}
