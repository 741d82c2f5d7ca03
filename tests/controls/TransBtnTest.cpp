// Pixel and mouse tests of the transparent image button.
#include "controls/TransBtn.h"
#include "fakes/ModalAnswers.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A colour for every role, so that each pixel says who painted it.
const QColor Back(0, 128, 128), Face(200, 200, 200), Light(250, 250, 240), Mid(128, 128, 128), Dark(64, 64, 64),
    Black(0, 0, 0), Ink(255, 255, 0), Red(255, 0, 0), Green(0, 255, 0), Blue(0, 0, 255), Purple(160, 0, 160);
constexpr int Org = 10; // the button's place in its parent

// A w x h button at (Org, Org) on a plain parent, with 20 x 20 glyphs red, green, blue, purple,
// and purple with its left half transparent.
struct Scene {
    QWidget parent;
    framework::TImageList list{nullptr, 20, 20};
    TTransparentButton button{&parent, "tbRecord"};
    QImage last;

    explicit Scene(int w = 32, int h = 32)
    {
        parent.resize(w + 2 * Org, h + 2 * Org);
        QPalette p;
        const std::pair<QPalette::ColorRole, QColor> roles[] = {{QPalette::Window, Back}, {QPalette::Button, Face},
            {QPalette::Light, Light}, {QPalette::Mid, Mid}, {QPalette::Shadow, Dark}, {QPalette::WindowText, Ink}};
        for (const auto& [role, c] : roles)
            p.setColor(role, c);
        parent.setPalette(p);
        parent.setAutoFillBackground(true);
        QFont font("Liberation Sans");
        font.setPixelSize(11);
        font.setStyleStrategy(QFont::NoAntialias);
        parent.setFont(font);
        QImage glyph(20, 20, QImage::Format_ARGB32);
        for (QColor c : {Red, Green, Blue, Purple}) {
            glyph.fill(c);
            list.Add(glyph);
        }
        QPainter hole(&glyph);
        hole.setCompositionMode(QPainter::CompositionMode_Source);
        hole.fillRect(0, 0, 10, 20, Qt::transparent);
        hole.end();
        list.Add(glyph);
        button.SetBounds(Org, Org, w, h);
        button.SetImageList(&list);
    }
    QImage Shot()
    {
        QImage shot(parent.size(), QImage::Format_RGB32);
        parent.render(&shot);
        return shot;
    }
    Scene& Snap()
    {
        last = Shot();
        return *this;
    }
    // A pixel of the last shot, in the button's coordinates.
    QColor At(int x, int y) const { return last.pixelColor(Org + x, Org + y); }

    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton which, Qt::MouseButtons held)
    {
        QMouseEvent e(type, QPointF(p), QPointF(button.mapToGlobal(p)), which, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &e);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { Mouse(QEvent::MouseButtonPress, p, b, b); }
    void Move(QPoint p) { Mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
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

// Ring i of a 32 x 32 button: left and top edges in a, right and bottom in b, top-left corner a.
void ExpectRing(const Scene& s, int i, QColor a, QColor b)
{
    const int e = 31 - i;
    const std::tuple<int, int, QColor> pixels[] = {
        {i, i, a}, {i, 16, a}, {16, i, a}, {e, i, b}, {i, e, b}, {e, e, b}, {e, 16, b}, {16, e, b}};
    for (const auto& [x, y, c] : pixels)
        EXPECT_EQ(s.At(x, y), c) << "ring " << i << " at " << x << "," << y;
}

// The 20 x 20 glyph of that colour has its top-left at (x, y).
void ExpectGlyph(const Scene& s, int x, int y, QColor c)
{
    EXPECT_EQ(s.At(x, y), c) << "glyph at " << x << "," << y;
    EXPECT_EQ(s.At(x + 19, y + 19), c) << "glyph at " << x << "," << y;
    EXPECT_NE(s.At(x - 1, y - 1), c) << "glyph at " << x << "," << y;
    EXPECT_NE(s.At(x + 20, y + 20), c) << "glyph at " << x << "," << y;
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
    int clicks = 0;
    s.button.OnClick = [&] { ++clicks; };
    ExpectRing(s.Snap(), 0, Back, Back);
    ExpectGlyph(s, 6, 6, Red);

    s.Enter();
    ExpectRing(s.Snap(), 0, Light, Mid);
    EXPECT_EQ(s.At(1, 1), Back) << "one ring only";
    ExpectGlyph(s, 6, 6, Red);

    s.Press({10, 10});
    ExpectRing(s.Snap(), 0, Mid, Light);
    EXPECT_EQ(s.At(1, 1), Back);
    ExpectGlyph(s, 7, 7, Red);

    s.Move({40, 10}); // dragged off with the mouse button held
    EXPECT_FALSE(s.button.DrawnPressed() || s.button.PointerInside());
    ExpectRing(s.Snap(), 0, Back, Back);
    ExpectGlyph(s, 6, 6, Red);

    s.Move({12, 12});
    ExpectRing(s.Snap(), 0, Mid, Light);
    ExpectGlyph(s, 7, 7, Red);

    s.Release({12, 12});
    EXPECT_EQ(clicks, 1);
    ExpectRing(s.Snap(), 0, Light, Mid); // hot again after the click
    ExpectGlyph(s, 6, 6, Red);
}

TEST(TransparentButton, ClickOrderDoubleClickRightButtonDownAndDisabling)
{
    Scene s;
    std::vector<std::string> log;
    s.button.OnMouseDown = [&](framework::TMouseButton b, Qt::KeyboardModifiers, int x, int y) {
        log.push_back("down" + std::to_string(int(b)) + "@" + std::to_string(x) + "," + std::to_string(y));
    };
    s.button.OnMouseUp = [&](framework::TMouseButton, Qt::KeyboardModifiers, int, int) { log.push_back("up"); };
    s.button.OnClick = [&] { log.push_back(s.button.DrawnPressed() && s.button.Held() ? "click(pressed)" : "click"); };
    using Log = std::vector<std::string>;

    s.Press({3, 4});
    s.Press({5, 5}, Qt::RightButton); // a second press while held is ignored
    s.Release({3, 4});
    EXPECT_EQ(log, (Log{"down0@3,4", "click(pressed)", "up"}));

    log.clear();
    s.Press({3, 4});
    s.Release({3, 4});
    s.Mouse(QEvent::MouseButtonDblClick, {3, 4}, Qt::LeftButton, Qt::LeftButton);
    s.Release({3, 4});
    EXPECT_EQ(log, (Log{"down0@3,4", "click(pressed)", "up", "down0@3,4", "click(pressed)", "up"}));

    log.clear();
    s.Press({3, 4});
    s.Release({50, 4});
    EXPECT_EQ(log, (Log{"down0@3,4", "up"})) << "released outside: no click";

    log.clear();
    s.Press({8, 8}, Qt::RightButton);
    ExpectGlyph(s.Snap(), 7, 7, Red);
    s.Release({8, 8}, Qt::RightButton);
    EXPECT_EQ(log, (Log{"down1@8,8", "up"})) << "right button: pressed look, no click";

    // Down latches the sunken look, pointer or not; releases leave it and raise no OnMouseUp.
    log.clear();
    s.button.SetDown(true);
    ExpectRing(s.Snap(), 0, Mid, Light);
    ExpectGlyph(s, 7, 7, Red);
    s.Press({5, 5});
    s.Release({5, 5});
    EXPECT_EQ(log, (Log{"down0@5,5", "click(pressed)"}));
    EXPECT_TRUE(s.button.DrawnPressed());
    const int repaints = s.button.RepaintRequests();
    s.button.SetDown(true);
    EXPECT_EQ(s.button.RepaintRequests(), repaints);
    s.button.SetDown(false);
    ExpectRing(s.Snap(), 0, Back, Back);

    log.clear();
    s.Enter();
    s.Press({8, 8});
    s.button.setEnabled(false);
    EXPECT_FALSE(s.button.DrawnPressed() || s.button.Held() || s.button.Tracking() || s.button.PointerInside());
    ExpectRing(s.Snap(), 0, Back, Back);
    ExpectGlyph(s, 6, 6, Red);
    s.button.setEnabled(true);
    s.Release({8, 8});
    EXPECT_EQ(log, (Log{"down0@8,8"})) << "the press ended with the disabling";
}

TEST(TransparentButton, GlyphChoiceAutoGrayAndRepaints)
{
    Scene s;
    s.button.SetThreeState(true);
    s.button.SetNumGlyphs(3);
    ExpectGlyph(s.Snap(), 6, 6, Red);
    s.Enter();
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.Press({5, 5});
    ExpectGlyph(s.Snap(), 6, 6, Blue); // three-state: the glyph shows the press, not moved
    s.Move({-5, 5});
    ExpectGlyph(s.Snap(), 6, 6, Red); // back to the first as soon as the pointer leaves
    s.Release({-5, 5});

    // Not three-state, three glyphs, no AutoGray style: +1 hot, +2 pressed and moved.
    s.button.SetThreeState(false);
    s.button.SetFrameStyle(fsLight);
    s.Enter();
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.Press({5, 5});
    ExpectGlyph(s.Snap(), 7, 7, Blue);
    s.Release({5, 5});

    // Two or four glyphs: the second when disabled, unless AutoGray in fsExplorer.
    s.button.SetNumGlyphs(2);
    s.button.setEnabled(false);
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.button.SetFrameStyle(fsExplorer);
    ExpectGlyph(s.Snap(), 6, 6, Red);
    s.button.SetAutoGray(false);
    s.button.SetNumGlyphs(9);
    EXPECT_EQ(s.button.NumGlyphs(), 4);
    ExpectGlyph(s.Snap(), 6, 6, Green);
    s.button.setEnabled(true);

    const int before = s.button.RepaintRequests();
    s.button.SetImageIndex(s.button.ImageIndex());
    s.button.SetSpacing(s.button.Spacing());
    s.button.SetThreeState(true);
    EXPECT_EQ(s.button.RepaintRequests(), before + 1) << "only ImageIndex repaints when unchanged";

    s.button.SetThreeState(false);
    s.button.SetNumGlyphs(1);
    s.button.SetImageIndex(4);
    EXPECT_EQ(s.Snap().At(6, 6), Back) << "drawn through its mask";
    EXPECT_EQ(s.At(16, 6), Purple);
    s.button.SetImageIndex(5);
    EXPECT_EQ(s.Snap().At(16, 6), Back) << "past the list: nothing";
}

TEST(TransparentButton, FrameStylesPassByPass)
{
    using Rings = std::vector<std::tuple<int, QColor, QColor>>;
    using Pixels = std::vector<std::tuple<int, int, QColor>>;
    struct Row {
        const char* name;
        TFrameStyle style;
        bool transparent, pressed;
        uint32_t width;
        Rings rings;
        Pixels pixels;
    };
    const Row rows[] = {
        {"regular", fsRegular, true, false, 1, {{0, Face, Mid}}, {{1, 16, Black}, {16, 1, Black}, {3, 3, Back}}},
        {"regular pressed", fsRegular, true, true, 1, {{0, Mid, Face}}, {{1, 16, Black}, {3, 3, Back}}},
        {"regular opaque", fsRegular, false, false, 1, {{0, Face, Mid}}, {{1, 16, Black}, {3, 3, Face}}},
        {"regular 2", fsRegular, true, false, 2, {{0, Face, Mid}, {1, Face, Mid}}, {{2, 16, Black}, {29, 16, Back}}},
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

    // Without ShowPressed: fsRegular pressed shows only its black background frame; fsExplorer
    // pressed under the pointer shows the raised frame, and the glyph stays put.
    Scene s;
    s.button.SetShowPressed(false);
    s.button.SetFrameStyle(fsRegular);
    s.Press({10, 10});
    EXPECT_EQ(s.Snap().At(0, 16), Back);
    EXPECT_EQ(s.At(31, 16), Black);
    s.Release({10, 10});
    s.button.SetFrameStyle(fsExplorer);
    s.button.SetBorderWidth(2);
    s.Enter();
    s.Press({10, 10});
    ExpectRing(s.Snap(), 0, Light, Mid);
    ExpectRing(s, 1, Light, Mid);
    ExpectGlyph(s, 6, 6, Red);
}

TEST(TransparentButton, CaptionPlacedByTextAlignAndEmbossedWhenDisabled)
{
    // A 100 x 80 button: where the glyph stands, and the caption box's x (Left = Spacing,
    // Mid = W/2 - tw/2, Right = W - tw - Spacing) and y (Above the glyph, Middle = H/2 - th/2,
    // Below the glyph).
    enum Place { Left, Middle, Right, Above, Below };
    const std::tuple<TTextAlign, QPoint, Place, Place> rows[] = {
        {ttaTopLeft, {40, 58}, Left, Above}, {ttaTop, {40, 58}, Middle, Above}, {ttaRight, {2, 30}, Right, Middle},
        {ttaBottomRight, {40, 2}, Right, Below}, {ttaBottom, {40, 2}, Middle, Below}, {ttaLeft, {78, 30}, Left, Middle},
        {ttaCenter, {40, 30}, Middle, Middle}};
    const QString text = "&Record";
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    for (const auto& [align, glyph, px, py] : rows) {
        SCOPED_TRACE(int(align));
        Scene s(100, 80);
        s.button.SetTextAlign(align);
        const QImage bare = s.Shot();
        s.button.SetCaption(text.toStdString());
        ExpectGlyph(s.Snap(), glyph.x(), glyph.y(), Red);

        // The same text drawn by hand in the expected box must leave the same marks.
        const QSize size = QFontMetrics(s.button.font()).boundingRect(QRect(), flags, text).size();
        const int tw = size.width(), th = size.height();
        const int x = px == Left ? 2 : px == Right ? 100 - tw - 2 : 50 - tw / 2;
        const int y = py == Above ? glyph.y() - th - 2 : py == Below ? glyph.y() + 20 + 2 : 40 - th / 2;
        QImage reference = bare;
        QPainter p(&reference);
        p.setFont(s.button.font());
        p.setPen(Ink);
        p.drawText(QRect(QPoint(Org + x, Org + y), size), flags, text);
        p.end();
        ASSERT_FALSE(Diff(bare, reference).isEmpty());
        EXPECT_EQ(Diff(bare, s.last), Diff(bare, reference));
    }

    Scene s(100, 80);
    s.button.SetImageList(nullptr);
    s.button.SetTextAlign(ttaTop);
    const QImage bare = s.Shot();
    s.button.SetCaption("Record");
    EXPECT_TRUE(Diff(bare, s.Shot()).isEmpty()) << "above the top edge: not seen";

    s.button.SetTextAlign(ttaCenter);
    const QRect enabled = Diff(bare, s.Shot());
    s.button.SetFrameStyle(fsNone);
    s.button.SetDown(true);
    EXPECT_EQ(Diff(bare, s.Shot()), enabled.translated(1, 1)) << "pressed: one pixel down and right";
    s.button.SetDown(false);

    s.button.setEnabled(false);
    const QImage disabled = s.Shot();
    EXPECT_EQ(Diff(bare, disabled), enabled.adjusted(0, 0, 1, 1));
    bool shadow = false, highlight = false, ink = false, lowest = false;
    for (int y = enabled.top(); y <= enabled.bottom() + 1; ++y)
        for (int x = enabled.left(); x <= enabled.right() + 1; ++x) {
            const QColor c = disabled.pixelColor(x, y);
            shadow |= c == Mid;
            highlight |= c == Light;
            ink |= c == Ink;
            if (y == enabled.bottom() + 1) { // below the shadow copy: highlight only
                EXPECT_TRUE(c == Light || c == Back) << x;
                lowest |= c == Light;
            }
        }
    EXPECT_TRUE(shadow && highlight && lowest && !ink);
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
    QShortcutEvent altR(QKeySequence(Qt::ALT | Qt::Key_R), 0), altX(QKeySequence(Qt::ALT | Qt::Key_X), 0);
    EXPECT_TRUE(QCoreApplication::sendEvent(&s.button, &altR));
    EXPECT_FALSE(QCoreApplication::sendEvent(&s.button, &altX));
    s.button.setEnabled(false);
    s.Enter();
    QCoreApplication::sendEvent(&s.button, &altR);
    s.Leave();
    EXPECT_EQ(clicks, 1) << "only an enabled button answers its accelerator";
    EXPECT_EQ(enters + exits, 0) << "nor notices the pointer";
    s.button.setEnabled(true);

    s.Enter();
    s.Enter();
    EXPECT_EQ(enters, 1);
    s.button.SetMovable(true);
    s.Press({5, 5});
    s.Move({15, 8});
    EXPECT_EQ(s.button.pos(), QPoint(Org + 10, Org + 3));
    s.Move({5, 5}); // the pointer is on the press point again
    EXPECT_EQ(s.button.pos(), QPoint(Org + 10, Org + 3));
    s.Release({5, 5});
    EXPECT_EQ(exits, 0);
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
