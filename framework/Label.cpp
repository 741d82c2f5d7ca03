#include "Label.h"

#include <QPainter>

namespace framework {

QFont SkinFont()
{
    QFont font("Arial");
    font.setPixelSize(11);
    return font;
}

TLabel::TLabel(QWidget* parent, const std::string& name)
    : TControl(parent, name), color_(palette().color(QPalette::Window)), fontColor_(palette().color(QPalette::WindowText))
{
    setFont(SkinFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLabel::SetCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    RequestRepaint();
}

void TLabel::SetColor(QColor color)
{
    if (color == color_)
        return;
    color_ = color;
    RequestRepaint();
}

void TLabel::SetFontColor(QColor color)
{
    if (color == fontColor_)
        return;
    fontColor_ = color;
    RequestRepaint();
}

void TLabel::paintEvent(QPaintEvent*)
{
    QPainter canvas(this);
    canvas.fillRect(rect(), color_);
    canvas.setPen(fontColor_);
    canvas.setFont(font());
    // Left and top aligned, one line; the painter clips at the label's edges.
    canvas.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(caption_));
}

} // namespace framework
