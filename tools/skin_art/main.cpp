// skin_art: draws every picture of the skin into a folder (normally assets/).
//   skin_art <folder> [preview.png]
// The second argument also writes a magnified review picture of the assembled window.
#include "AppIcon.h"
#include "Art.h"
#include "Paint.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool Save(const QDir& dir, const QString& name, const QImage& image, bool opaque)
{
    const QImage out = image.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    const QString path = dir.filePath(name);
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "skin_art: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool SaveTray(const QDir& dir, const char* name, art::TrayState state)
{
    QList<QImage> sizes;
    for (int size : art::kTraySizes)
        sizes.append(art::TrayIcon(state, size).convertToFormat(QImage::Format_ARGB32));
    const QString path = dir.filePath(name);
    if (!art::WriteIco(path, sizes)) {
        std::fprintf(stderr, "skin_art: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs no screen; the offscreen platform also keeps fonts free of a desktop's settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: skin_art <assets folder> [preview.png]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        std::fprintf(stderr, "skin_art: no folder %s\n", argv[1]);
        return 1;
    }

    using art::TrayState;
    // The skin at one window pixel per device pixel as name.png, and at two as name@2x.png.
    bool ok = true;
    for (const int ratio : {1, 2}) {
        art::SetPixelRatio(ratio);
        const auto name = [ratio](const char* stem) {
            return QString(stem) + (ratio == 2 ? "@2x" : "") + ".png";
        };
        ok = Save(dir, name("main"), art::MainBackground(), true) && ok;
        ok = Save(dir, name("num"), art::DigitStrip(), true) && ok;
        ok = Save(dir, name("circle"), art::ReelStrip(), false) && ok;
        ok = Save(dir, name("icon"), art::GlyphStrip(), false) && ok;
        ok = Save(dir, name("trackbar"), art::TrackBar(), true) && ok;
        ok = Save(dir, name("trackbutton"), art::TrackButton(), false) && ok;
        ok = Save(dir, name("status"), art::StatusStrip(), true) && ok;
        ok = Save(dir, name("logo"), art::Logo(), false) && ok;
    }
    // Icons name their sizes in device pixels.
    art::SetPixelRatio(1);
    ok = SaveTray(dir, "ti.ico", TrayState::Idle) && ok;
    ok = SaveTray(dir, "ti_rec.ico", TrayState::Recording) && ok;
    ok = SaveTray(dir, "ti_rec_p.ico", TrayState::RecordingPaused) && ok;
    ok = SaveTray(dir, "ti_play.ico", TrayState::Playing) && ok;
    ok = SaveTray(dir, "ti_play_p.ico", TrayState::PlayingPaused) && ok;
    ok = art::SaveAppIcons(dir) && ok;
    if (argc == 3) {
        const QString preview = QString::fromLocal8Bit(argv[2]);
        if (!art::Preview(2).save(preview, "PNG")) {
            std::fprintf(stderr, "skin_art: cannot write %s\n", argv[2]);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
