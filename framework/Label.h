#pragma once
// A text label: opaque (its own colour fills it), one line, not sized to its text; text
// longer than the label is cut at its right edge.
#include "Control.h"

#include <QColor>
#include <QFont>

namespace framework {

// The program's font: Arial at 8 points on a 96-dpi screen, that is 11 pixels high whatever
// the screen, so the skin's texts fit their places.
QFont SkinFont();

class TLabel : public TControl {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent = nullptr, const std::string& name = {});

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    QColor Color() const { return color_; }
    void SetColor(QColor color);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string caption_;
    QColor color_;
    QColor fontColor_;
};

} // namespace framework
