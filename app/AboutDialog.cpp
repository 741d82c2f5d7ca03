#include "AboutDialog.h"

#include "framework/HandlerGuard.h"
#include "framework/Shell.h"
#include "platform/Paths.h"

#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int mrOk = 1;

// The dialogs' face font: "Sans Serif" at 8 points on a 96-dpi screen.
QFont DialogFont()
{
    QFont font("Sans Serif");
    font.setPixelSize(11);
    return font;
}

// Text standing out of the face: lit from the top left, shadowed at the bottom right.
class RaisedText : public QWidget {
public:
    RaisedText(QWidget* parent, const QString& text) : QWidget(parent), text_(text) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setFont(font());
        const QRect box = rect().adjusted(1, 0, -1, 0);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter;
        p.setPen(palette().color(QPalette::Light));
        p.drawText(box.translated(-1, -1), flags, text_);
        p.setPen(palette().color(QPalette::Shadow));
        p.drawText(box.translated(1, 1), flags, text_);
        p.setPen(QColor(38, 98, 58)); // the skin's frame green
        p.drawText(box, flags, text_);
    }

private:
    QString text_;
};

// A push button with rounded corners, drawn in the face colours; as the default button it has
// a heavier rim.
class RoundButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPalette& colours = palette();
        const bool down = isDown();
        const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal radius = 6;
        QLinearGradient face(body.topLeft(), body.bottomLeft());
        face.setColorAt(0, down ? colours.color(QPalette::Mid) : colours.color(QPalette::Light));
        face.setColorAt(1, colours.color(QPalette::Button));
        p.setBrush(face);
        p.setPen(QPen(colours.color(QPalette::Shadow), isDefault() ? 1.6 : 1.0));
        p.drawRoundedRect(body, radius, radius);
        if (hasFocus()) {
            p.setPen(QPen(colours.color(QPalette::Shadow), 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(body.adjusted(3, 3, -3, -3), radius - 3, radius - 3);
        }
        p.setPen(colours.color(QPalette::ButtonText));
        p.drawText(rect().translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter, text());
    }
};

QLabel* Line(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(left, top, width, 13);
    return label;
}

} // namespace

TfmAbout::TfmAbout(QWidget* owner) : TForm(owner)
{
    setObjectName("fmAbout");
    setWindowTitle("About");
    // A fixed dialog frame: a title and a close box, nothing to minimize or maximize.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
        Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(289, 125);
    setFont(DialogFont());
    // The face colour, whatever a parent's palette says.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    auto* name = new RaisedText(this, "Kestrune");
    name->setObjectName("lbName");
    QFont large("Arial");
    large.setPixelSize(16);
    large.setBold(true);
    name->setFont(large);
    name->setGeometry(8, 2, 273, 21);
    lbName = name;

    lbVersion = Line(this, "lbVersion", QString("Version %1").arg(KESTRUNE_VERSION), 8, 24, 230);
    lbNotice = Line(this, "lbNotice", QString::fromUtf8("\u00A9 2026 the Kestrune developers"), 8, 40, 230);
    lbLink = Line(this, "lbLink", "How to use Kestrune: the help page", 8, 56, 225);
    QFont underlined = lbLink->font();
    underlined.setUnderline(true);
    lbLink->setFont(underlined);
    QPalette green = lbLink->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    lbLink->setPalette(green);
    lbLink->setCursor(Qt::PointingHandCursor);
    lbLink->installEventFilter(this);

    imLogo = new QLabel(this);
    imLogo->setObjectName("imLogo");
    imLogo->setGeometry(244, 8, 32, 32);
    imLogo->setPixmap(QIcon(":/skin/logo.png").pixmap(32, 32));

    btnOK = new RoundButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(224, 101, 60, 20);
    btnOK->setDefault(true);
    btnOK->setFocus();
    connect(btnOK, &QPushButton::clicked, this, [this] { SetModalResult(mrOk); });
    // OK is both the default and the cancel button.
    DefaultButton = btnOK;
    CancelButton = btnOK;

    if (owner)
        move(owner->geometry().center() - rect().center());
}

bool TfmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbLink && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        lbLink->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        // The shell's failure to open it is not reported.
        framework::Guarded([] { framework::ShellOpen(platform::ExeFolder() + "help.html"); });
        return true;
    }
    return TForm::eventFilter(watched, event);
}
