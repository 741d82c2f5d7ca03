// A review picture: the background with the digits, reels, buttons, labels and the seek bar
// placed as the window places them, magnified.
#include "Art.h"
#include "Layout.h"
#include "Paint.h"

namespace art {

using namespace layout;

namespace {

void Label(QPainter& p, const QRect& r, const QString& text, const QColor& ink, const QColor& back)
{
    p.fillRect(r, back);
    p.setPen(ink);
    p.setFont(SkinFont(11));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

QImage Preview(int scale)
{
    QImage window = MainBackground();
    const QImage digits = DigitStrip();
    const QImage reels = ReelStrip();
    const QImage glyphs = GlyphStrip();
    QPainter p;
    Begin(p, window);

    // 01:23:45 on the clock, the reels at two different frames.
    const int shown[] = {0, 1, 2, 3, 4, 5};
    for (int i = 0; i < 6; ++i)
        p.drawImage(kDigitLeft[i], kDigitTop, digits.copy(shown[i] * 15, 0, 15, 30));
    p.drawImage(kReelLeft, reels.copy(0, 0, 57, 60));
    p.drawImage(kReelRight, reels.copy(4 * 60, 0, 60, 60));

    Label(p, kMaxL, "MaxL:-3db", Qt::black, QColor(190, 174, 55));
    Label(p, kMaxR, "MaxR:-5db", Qt::black, QColor(190, 174, 55));
    Label(p, kLeftDb, "L:-12db", Qt::black, QColor(150, 138, 42));
    Label(p, kRightDb, "R:-14db", Qt::black, QColor(150, 138, 42));
    Label(p, kStatus.adjusted(2, 1, -3, -3), "Ready for your command ...", QColor(192, 192, 192), pal::window);
    Label(p, kFileName, "/home/user/rec-2024-05-01.mp3", Qt::white, pal::window);
    p.fillRect(kMeterLeft.adjusted(0, 1, -90, -1), QColor(60, 220, 80));
    p.fillRect(kMeterRight.adjusted(0, 1, -120, -1), QColor(60, 220, 80));

    // Every button with its glyph, the record button drawn hot.
    const int buttons[] = {7, 1, 17, 3, 5, 14, 15, 16};
    for (int i = 0; i < 8; ++i)
        p.drawImage(kButtonLeft[i] + 6, kButtonTop + 6, glyphs.copy(buttons[i] * 20, 0, 20, 20));
    p.setPen(QColor(230, 230, 230));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawRect(kButtonLeft[1], kButtonTop, kButtonSize - 1, kButtonSize - 1);
    p.end();

    // Below: the seek bar state of the file name row, and the strips themselves.
    QImage sheet(kWidth, kHeight + 170, QImage::Format_RGB32);
    sheet.fill(QColor(90, 90, 90));
    QPainter s(&sheet);
    s.drawImage(0, 0, window);
    QImage seek = window.copy(0, 95, kWidth, 30);
    QPainter sp(&seek);
    sp.drawImage(kTrackBar.left(), kTrackBar.top() - 95, TrackBar());
    sp.drawImage(kTrackButton.left() + 120, kTrackButton.top() - 95, TrackButton());
    sp.end();
    s.drawImage(0, kHeight + 2, seek);
    s.drawImage(0, kHeight + 34, reels.copy(0, 0, 400, 60));
    s.drawImage(0, kHeight + 96, glyphs);
    s.drawImage(0, kHeight + 118, digits);
    s.drawImage(160, kHeight + 118, Logo());
    int x = 200;
    for (TrayState t : {TrayState::Idle, TrayState::Recording, TrayState::RecordingPaused, TrayState::Playing,
             TrayState::PlayingPaused}) {
        s.drawImage(x, kHeight + 118, TrayIcon(t, 32));
        s.drawImage(x + 8, kHeight + 152, TrayIcon(t, 16));
        x += 40;
    }
    s.end();
    return sheet.scaled(sheet.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace art
