#pragma once
// One input's level on the Input page of the settings: a sunken strip filled green from the
// left, as far as the level reaches.
#include <QWidget>

class TInputLevelBar : public QWidget {
    Q_OBJECT
public:
    explicit TInputLevelBar(QWidget* parent);
    // 0 (empty) to 1 (full); repaints only when the filled width changes.
    void SetLevel(double fraction);
    // The filled width in pixels (tests compare it with the screen).
    int FilledWidth() const { return filled_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int WidthOf(double fraction) const;

    double fraction_ = 0;
    int filled_ = 0;
};
