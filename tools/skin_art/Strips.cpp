// The seek bar's groove and knob, and the status strip.
#include "Art.h"
#include "Layout.h"
#include "Paint.h"
#include "Parts.h"

namespace art {

using namespace layout;

QImage TrackBar()
{
    // It covers the file name row while a file plays: the same bare panel under a groove.
    QImage image = Crop(PanelBase(), kTrackBar);
    QPainter p;
    Begin(p, image);
    const int knobMiddle = kTrackButton.top() - kTrackBar.top() + kTrackButton.height() / 2;
    const QRect groove(4, knobMiddle - 2, kTrackBar.width() - 8, 5);
    Recess(p, groove, pal::ink, pal::goldShadow, pal::goldLight, 2.5);

    // Tick marks every tenth of the way, engraved below the groove.
    p.setRenderHint(QPainter::Antialiasing, false);
    const int travel = kTrackBar.width() - kTrackButton.width();
    for (int i = 0; i <= 10; ++i) {
        const int x = kTrackButton.width() / 2 + travel * i / 10;
        const int length = (i % 5 == 0) ? 3 : 2;
        p.setPen(pal::goldShadow);
        p.drawLine(x, 13, x, 12 + length);
        p.setPen(pal::goldLight);
        p.drawLine(x + 1, 13, x + 1, 12 + length);
    }
    p.end();
    return image;
}

QImage TrackButton()
{
    QImage image = NewImage(kTrackButton.width(), kTrackButton.height(), true);
    QPainter p;
    Begin(p, image);
    const QSize size = LogicalSize(image);
    const QRectF body(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QLinearGradient metal(body.topLeft(), body.bottomLeft());
    metal.setColorAt(0, QColor(246, 244, 232));
    metal.setColorAt(0.45, QColor(200, 198, 186));
    metal.setColorAt(1, QColor(128, 126, 116));
    p.setPen(QPen(pal::ink, 1.0));
    p.setBrush(metal);
    p.drawRoundedRect(body, 4, 4);

    // Grip ridges in the middle.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int x : {11, 14, 17}) {
        p.setPen(QColor(96, 94, 86));
        p.drawLine(x, 4, x, size.height() - 5);
        p.setPen(QColor(252, 250, 240));
        p.drawLine(x + 1, 4, x + 1, size.height() - 5);
    }
    p.end();
    return image;
}

QImage StatusStrip()
{
    QImage image = Crop(PanelBase(), kStatus);
    QPainter p;
    Begin(p, image);
    // The inside is the status label's own colour and exactly the label's rows, so that the
    // label reads as part of the strip and its line of text sits in the strip's middle.
    const QSize size = LogicalSize(image);
    const QRect label = kStatusLabel.translated(-kStatus.topLeft());
    Recess(p, QRect(1, label.top(), size.width() - 2, label.height()), pal::window, pal::goldShadow.darker(130),
        pal::goldLight, 0);
    p.end();
    return image;
}

} // namespace art
