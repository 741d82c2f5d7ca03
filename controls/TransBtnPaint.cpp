// Painting of the transparent image button: background, pressed or released frame, then the
// glyph and the caption.
#include "TransBtn.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

// The desktop's 3-D colours come from the button's own palette (inherited from the
// application's unless a form overrides it), always from its active group: a disabled
// button keeps the same face, highlight and shadows.
struct Colours {
    QColor face, highlight, shadow, darkShadow;
    QColor black{Qt::black};
};

Colours ColoursOf(const QWidget& widget)
{
    const QPalette& p = widget.palette();
    return {p.color(QPalette::Active, QPalette::Button), p.color(QPalette::Active, QPalette::Light),
        p.color(QPalette::Active, QPalette::Mid), p.color(QPalette::Active, QPalette::Shadow)};
}

// The rectangle from (left, top) up to but not including (right, bottom).
QRect Box(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// n rings of 1-pixel lines inside r, outermost first: left and top edges in a, right and bottom
// edges in b; the top-left corner pixel takes a, the other three corners b. Rings stop where
// nothing is left of the rectangle.
void Frame(QPainter& canvas, QRect r, QColor a, QColor b, int n)
{
    for (int i = 0; i < n && r.width() > 0 && r.height() > 0; ++i) {
        canvas.fillRect(r.left(), r.top(), 1, r.height() - 1, a);
        canvas.fillRect(r.left(), r.top(), r.width() - 1, 1, a);
        canvas.fillRect(r.right(), r.top(), 1, r.height(), b);
        canvas.fillRect(r.left(), r.bottom(), r.width(), 1, b);
        r.adjust(1, 1, -1, -1);
    }
}

// A filled rectangle outlined with a pen of the given width. A 1-pixel outline runs on box's
// outermost pixels; a wider pen is centred on that line, as Qt strokes wide pens, with square
// corners.
void Rectangle(QPainter& canvas, QRect box, QColor fill, QColor pen, int width)
{
    canvas.save();
    canvas.setPen(QPen(pen, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    canvas.setBrush(fill);
    canvas.drawRect(QRect(box.left(), box.top(), box.width() - 1, box.height() - 1));
    canvas.restore();
}

// The pen width and the number of frame rings: any BorderWidth is accepted, but nothing wider
// than this can show on a button.
int RingCount(uint32_t borderWidth)
{
    return static_cast<int>(std::min<uint32_t>(borderWidth, 1u << 14));
}

} // namespace

void TTransparentButton::Paint(QPainter& canvas)
{
    PaintBackground(canvas);
    if (drawnPressed_) {
        if (frameStyle_ != fsNone)
            PaintPressed(canvas);
    } else {
        PaintReleased(canvas);
    }

    if (!imageList_) {
        PaintCaption(canvas, rect());
        return;
    }
    const int w = width(), h = height();
    const int iw = imageList_->Width(), ih = imageList_->Height();
    int top = (h - ih) / 2;
    if (textAlign_ == ttaBottomRight || textAlign_ == ttaBottom || textAlign_ == ttaBottomLeft)
        top = spacing_;
    else if (textAlign_ == ttaTopLeft || textAlign_ == ttaTop || textAlign_ == ttaTopRight)
        top = h - ih - spacing_;
    int left = (w - iw) / 2;
    if (textAlign_ == ttaLeft)
        left = w - iw - spacing_;
    else if (textAlign_ == ttaRight)
        left = spacing_;
    const QRect glyph(left, top, iw, ih);

    const long long index = static_cast<long long>(imageIndex_) + GlyphOffset();
    if (index >= 0 && index < imageList_->Count()) {
        // A three-state button shows its press by its glyph, not by moving it.
        const int shift = !threeState_ && drawnPressed_ && showPressed_ ? 1 : 0;
        if (!transparent_)
            canvas.fillRect(glyph.translated(shift, shift), ColoursOf(*this).face);
        imageList_->Draw(canvas, left + shift, top + shift, static_cast<int>(index), true);
    }
    if (!caption_.empty())
        PaintCaption(canvas, glyph);
}

void TTransparentButton::PaintBackground(QPainter& canvas) const
{
    const Colours c = ColoursOf(*this);
    const int w = width(), h = height();
    const int n = RingCount(borderWidth_);
    switch (frameStyle_) {
    case fsRegular:
        if (transparent_)
            Frame(canvas, Box(1, 1, w, h), c.black, c.black, n);
        else
            Rectangle(canvas, Box(1, 1, w, h), c.face, c.black, n);
        break;
    case fsIndent:
        if (transparent_)
            Frame(canvas, Box(0, 0, w - 1, h - 1), c.shadow, c.shadow, n);
        else
            Rectangle(canvas, Box(0, 0, w - 1, h - 1), c.face, c.shadow, n);
        Frame(canvas, Box(1, 1, w, h), c.highlight, c.highlight, n);
        break;
    default:
        if (!transparent_)
            canvas.fillRect(0, 0, w, h, c.face);
        break;
    }
}

void TTransparentButton::PaintPressed(QPainter& canvas) const
{
    const Colours c = ColoursOf(*this);
    const QRect r = rect();
    const int n = RingCount(borderWidth_);
    switch (frameStyle_) {
    case fsRegular:
    case fsIndent:
        if (showPressed_)
            Frame(canvas, r, c.shadow, c.face, n);
        break;
    case fsExplorer:
        // Held off the button, only the moved glyph shows the press.
        if (pointerInside_ || down_) {
            if (showPressed_)
                Frame(canvas, r, c.shadow, c.highlight, n);
            else
                Frame(canvas, r, c.highlight, c.shadow, n);
        }
        break;
    case fsLight:
        if (showPressed_)
            Frame(canvas, r, c.shadow, c.highlight, 1);
        break;
    case fsDark:
        if (showPressed_)
            Frame(canvas, r, c.darkShadow, c.face, 1);
        break;
    case fsMono:
        if (showPressed_)
            Frame(canvas, r, c.darkShadow, c.highlight, 1);
        break;
    case fsNone:
        break;
    }
}

void TTransparentButton::PaintReleased(QPainter& canvas) const
{
    const Colours c = ColoursOf(*this);
    const QRect r = rect();
    const int n = RingCount(borderWidth_);
    switch (frameStyle_) {
    case fsRegular: Frame(canvas, r, c.face, c.shadow, n); break;
    case fsIndent: Frame(canvas, r, c.shadow, c.highlight, n); break;
    case fsExplorer:
        if (pointerInside_)
            Frame(canvas, r, c.highlight, c.shadow, n);
        break;
    case fsNone: break;
    case fsLight: Frame(canvas, r, c.highlight, c.shadow, 1); break;
    case fsDark: Frame(canvas, r, c.face, c.darkShadow, 1); break;
    case fsMono: Frame(canvas, r, c.highlight, c.darkShadow, 1); break;
    }
}

// Which of the button's glyphs shows, counted from ImageIndex.
int TTransparentButton::GlyphOffset() const
{
    int k = 0;
    if (numGlyphs_ >= 2) {
        if (threeState_) {
            k = pointerInside_ ? (drawnPressed_ ? 2 : 1) : 0;
        } else if (numGlyphs_ == 2) {
            k = isEnabled() ? 0 : 1;
        } else if (numGlyphs_ == 3) {
            k = drawnPressed_ ? 2 : pointerInside_ ? 1 : 0;
        } else {
            k = drawnPressed_ ? 2 : !isEnabled() ? 1 : 0;
        }
    }
    if (frameStyle_ == fsExplorer && autoGray_ && !pointerInside_)
        k = 0;
    return k;
}

// The caption stands beside the reference rectangle (the glyph's, or the whole button's when
// there is no image list) on the side TextAlign names. It is not clipped to its box, only to
// the button: a caption placed outside is simply not seen.
void TTransparentButton::PaintCaption(QPainter& canvas, const QRect& reference) const
{
    if (caption_.empty())
        return;
    const QString text = QString::fromStdString(caption_);
    const int w = width(), h = height();
    const int lines = wordWrap_ ? Qt::TextWordWrap : Qt::TextSingleLine;
    canvas.setFont(font());
    const QFontMetrics metrics(font(), canvas.device());
    const QRect measured = wordWrap_
        ? metrics.boundingRect(QRect(0, 0, w, 0), Qt::AlignLeft | Qt::AlignTop | lines | Qt::TextShowMnemonic, text)
        : metrics.boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop | lines | Qt::TextShowMnemonic, text);
    const int tw = measured.width(), th = measured.height();

    // Gt and Gb are the reference's top and bottom, bottom exclusive.
    const int gt = reference.top(), gb = reference.top() + reference.height();
    int x = w / 2 - tw / 2;
    int y = h / 2 - th / 2;
    switch (textAlign_) {
    case ttaTopLeft: x = spacing_; y = gt - th - spacing_; break;
    case ttaTop: y = gt - th - spacing_; break;
    case ttaTopRight: x = w - tw - spacing_; y = gt - th - spacing_; break;
    case ttaRight: x = w - tw - spacing_; break;
    case ttaBottomRight: x = w - tw - spacing_; y = gb + spacing_; break;
    case ttaBottom: y = gb + spacing_; break;
    case ttaBottomLeft: x = spacing_; y = gb + spacing_; break;
    case ttaLeft: x = spacing_; break;
    case ttaCenter: break;
    }
    QRect box(x, y, tw, th);
    if (drawnPressed_ && showPressed_)
        box.translate(1, 1);

    const int flags = Qt::AlignHCenter | Qt::AlignTop | lines | Qt::TextShowMnemonic | Qt::TextDontClip;
    canvas.save();
    canvas.setBackgroundMode(Qt::TransparentMode);
    if (isEnabled()) {
        canvas.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        canvas.drawText(box, flags, text);
    } else {
        // Embossed: a highlight copy one pixel down and right, the shadow copy on top.
        const Colours c = ColoursOf(*this);
        canvas.setPen(c.highlight);
        canvas.drawText(box.translated(1, 1), flags, text);
        canvas.setPen(c.shadow);
        canvas.drawText(box, flags, text);
    }
    canvas.restore();
}
