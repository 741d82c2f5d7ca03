// Moving the frameless window by its title strip, and the four glyph zones.
#include "TitleStrip.h"

#include "Kestrune.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWindow>

bool PressStartsWindowDrag(int x, int y, int width)
{
    return y < TitleStripHeight && x <= width - 54;
}

TitleZone TitleZoneAt(int x, int y, int width)
{
    if (y >= TitleStripHeight)
        return TitleZone::None;
    // Each zone lies strictly between its two bounds, measured from the right edge.
    struct Zone {
        int from, to;
        TitleZone zone;
    };
    static constexpr Zone zones[] = {{54, 44, TitleZone::About}, {42, 32, TitleZone::Help},
        {30, 20, TitleZone::Minimize}, {18, 8, TitleZone::Close}};
    for (const Zone& z : zones)
        if (x > width - z.from && x < width - z.to)
            return z.zone;
    return TitleZone::None;
}

namespace {
// Wayland lets no program place its own window: the compositor moves it for us instead.
bool SystemMovesWindows()
{
    return QGuiApplication::platformName().startsWith("wayland");
}
} // namespace

void TKestrune::imMainMouseDown(framework::TMouseButton, Qt::KeyboardModifiers, int x, int y)
{
    if (!PressStartsWindowDrag(x, y, width()))
        return;
    Drag.WindowDragging = true;
    Drag.DragStartCursor = QCursor::pos();
    Drag.DragStartLeft = pos().x();
    Drag.DragStartTop = pos().y();
    if (SystemMovesWindows() && windowHandle())
        windowHandle()->startSystemMove();
}

void TKestrune::imMainMouseMove(Qt::KeyboardModifiers, int, int)
{
    if (!Drag.WindowDragging || SystemMovesWindows())
        return;
    // The window follows the cursor exactly, off the screen too if the user wants.
    const QPoint cursor = QCursor::pos();
    move(Drag.DragStartLeft + (cursor.x() - Drag.DragStartCursor.x()),
        Drag.DragStartTop + (cursor.y() - Drag.DragStartCursor.y()));
}

void TKestrune::imMainMouseUp(framework::TMouseButton, Qt::KeyboardModifiers, int x, int y)
{
    // A glyph runs the command of its menu entry; both are one command.
    switch (TitleZoneAt(x, y, width())) {
    case TitleZone::About: About1->Click(); break;
    case TitleZone::Help: Help1->Click(); break;
    case TitleZone::Minimize: Minimize1->Click(); break;
    case TitleZone::Close: Exit1->Click(); break;
    case TitleZone::None: Drag.WindowDragging = false; break;
    }
}
