// The window's elements, created bottom to top: the order of creation is the stacking order.
#include "Kestrune.h"
#include "SkinRatio.h"

#include <QGuiApplication>
#include <QImage>

int SkinPixelRatio(qreal screenRatio)
{
    return screenRatio > 1 ? 2 : 1;
}

namespace {

// A skin picture from the set that fits the screens: name.png at one device pixel per window
// pixel, name@2x.png on any denser screen (between ratios it is scaled down smoothly).
QImage SkinPicture(const char* name)
{
    const int ratio = SkinPixelRatio(qGuiApp->devicePixelRatio());
    if (ratio == 1)
        return QImage(QString(":/skin/") + name);
    QString dense = QString(":/skin/") + name;
    dense.insert(dense.lastIndexOf('.'), QString("@%1x").arg(ratio));
    QImage picture(dense);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

framework::TImageList* ImageListFrom(QObject* owner, const char* name, int width, int height, const char* picture)
{
    auto* list = new framework::TImageList(owner, width, height, name);
    list->AddStrip(SkinPicture(picture));
    return list;
}

TIndexImage* IndexImage(QWidget* parent, const char* name, framework::TImageList* list, int left, int top, int width,
    int height)
{
    auto* image = new TIndexImage(parent, name);
    image->SetImageList(list);
    image->SetBounds(left, top, width, height);
    return image;
}

framework::TLabel* Label(QWidget* parent, const char* name, QRect bounds, QColor text, QColor back)
{
    auto* label = new framework::TLabel(parent, name);
    label->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    label->SetFontColor(text);
    label->SetColor(back);
    return label;
}

framework::TImage* Picture(QWidget* parent, const char* name, QRect bounds, const char* picture = nullptr)
{
    auto* image = new framework::TImage(parent, name);
    image->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    if (picture)
        image->SetPicture(SkinPicture(picture));
    return image;
}

// Every command button of the window: 32 x 32 on the button row, a glyph of the icon list.
TTransparentButton* Button(QWidget* parent, const char* name, int left, framework::TImageList* icons, int index,
    const char* hint, std::function<void()> command)
{
    auto* button = new TTransparentButton(parent, name);
    button->SetBounds(left, 129, 32, 32);
    button->SetImageList(icons);
    button->SetImageIndex(index);
    button->SetHint(hint);
    button->OnClick = std::move(command);
    return button;
}

// A timer of the window, stopped until its command starts it.
framework::TTimer* Timer(QObject* owner, const char* name, int intervalMs, std::function<void()> handler)
{
    auto* timer = new framework::TTimer(owner, name);
    timer->SetEnabled(false);
    timer->SetInterval(intervalMs);
    timer->OnTimer = std::move(handler);
    return timer;
}

} // namespace

void TKestrune::CreateSkin()
{
    const QColor dark(50, 50, 50);
    // The skin is light whatever the desktop's theme: its labels' text is black, as the meters
    // set it again after every level.
    const QColor windowText = Qt::black;

    imNum = ImageListFrom(this, "imNum", 15, 30, "num.png");
    imCircle = ImageListFrom(this, "imCircle", 60, 60, "circle.png");
    imIcon = ImageListFrom(this, "imIcon", 20, 20, "icon.png");

    imMain = Picture(this, "imMain", {0, 0, 400, 210}, "main.png");
    imMain->SetAutoSize(true);
    imMain->OnMouseDown = [this](auto b, auto s, int x, int y) { imMainMouseDown(b, s, x, y); };
    imMain->OnMouseMove = [this](auto s, int x, int y) { imMainMouseMove(s, x, y); };
    imMain->OnMouseUp = [this](auto b, auto s, int x, int y) { imMainMouseUp(b, s, x, y); };

    n1 = IndexImage(this, "n1", imNum, 146, 36, 15, 30);
    n2 = IndexImage(this, "n2", imNum, 162, 36, 15, 30);
    n3 = IndexImage(this, "n3", imNum, 186, 36, 15, 30);
    n4 = IndexImage(this, "n4", imNum, 202, 36, 15, 30);
    n5 = IndexImage(this, "n5", imNum, 226, 36, 15, 30);
    n6 = IndexImage(this, "n6", imNum, 242, 36, 15, 30);
    // The left reel is three columns narrower than its frames.
    tb1 = IndexImage(this, "tb1", imCircle, 21, 32, 57, 60);
    tb2 = IndexImage(this, "tb2", imCircle, 318, 32, 60, 60);

    lbFileName = Label(this, "lbFileName", {84, 105, 245, 14}, Qt::white, dark);
    tbOpen = Button(this, "tbOpen", 25, imIcon, 7, "Select File for Recording", [this] { tbOpenClick(); });
    tbRec = Button(this, "tbRec", 65, imIcon, 1, "Start Recording", [this] { tbRecordClick(); });
    tbPause = Button(this, "tbPause", 65, imIcon, 4, "Pause Recording", [this] { tbPauseClick(); });
    tbStop = Button(this, "tbStop", 105, imIcon, 5, "Stop Recording", [this] { btnStopClick(); });
    tbMixer = Button(this, "tbMixer", 257, imIcon, 14, "Show Mixer", [this] { btnMixerClick(); });
    tbSet = Button(this, "tbSet", 337, imIcon, 16, "Setting", [this] { tbSetClick(); });
    tbQueue = Button(this, "tbQueue", 297, imIcon, 15, "Show Queue", [this] { tbQueueClick(); });
    Image1 = Picture(this, "Image1", {20, 172, 360, 18}, "status.png");
    lbStatus = Label(this, "lbStatus", {22, 173, 355, 14}, QColor(192, 192, 192), dark);
    lbStatus->SetCaption("Ready for your command");
    tbrecandpause = Button(this, "tbrecandpause", 105, imIcon, 17, "Start Recording and Pause immediately",
        [this] { tbrecandpauseClick(); });
    imleft = Picture(this, "imleft", {86, 71, 228, 7});
    imright = Picture(this, "imright", {86, 77, 228, 7});
    lbleftdb = Label(this, "lbleftdb", {272, 45, 41, 14}, windowText, QColor(150, 138, 42));
    lbrightdb = Label(this, "lbrightdb", {272, 56, 41, 14}, windowText, QColor(150, 138, 42));
    tbPlayIt = Button(this, "tbPlayIt", 161, imIcon, 3, "Play It", [this] { tbPlayItClick(); });
    tbStopPlayback = Button(this, "tbStopPlayback", 201, imIcon, 5, "Stop PlayBack", [this] { tbStopPlaybackClick(); });
    imTrackBar = Picture(this, "imTrackBar", {16, 104, 370, 18}, "trackbar.png");
    imTrackButton = Picture(this, "imTrackButton", {16, 105, 30, 15}, "trackbutton.png");
    imTrackButton->SetHint("Drag to seek");
    imTrackButton->OnMouseDown = [this](framework::TMouseButton b, Qt::KeyboardModifiers k, int x, int y) {
        imTrackButtonMouseDown(b, k, x, y);
    };
    imTrackButton->OnMouseMove = [this](Qt::KeyboardModifiers k, int x, int y) { imTrackButtonMouseMove(k, x, y); };
    imTrackButton->OnMouseUp = [this](framework::TMouseButton b, Qt::KeyboardModifiers k, int x, int y) {
        imTrackButtonMouseUp(b, k, x, y);
    };
    // Between the reel and the digit window: "MaxR:-76db", the longest, fits set a little tighter.
    lbMaxL = Label(this, "lbMaxL", {83, 45, 57, 14}, windowText, QColor(190, 174, 55));
    lbMaxR = Label(this, "lbMaxR", {83, 56, 57, 14}, windowText, QColor(190, 174, 55));
    for (framework::TLabel* peak : {lbMaxL, lbMaxR}) {
        QFont tighter = peak->font();
        tighter.setLetterSpacing(QFont::AbsoluteSpacing, -0.35);
        peak->setFont(tighter);
    }

    lbMaxL->SetCaption("MaxL:0db");
    lbMaxR->SetCaption("MaxR:0db");
    lbleftdb->SetCaption("L:0db");
    lbrightdb->SetCaption("R:0db");

    // As in the idle state with no target file; the idle rules keep them right from then on.
    for (framework::TControl* hidden :
        std::initializer_list<framework::TControl*>{tbPause, tbStop, tbPlayIt, tbStopPlayback, imTrackBar, imTrackButton})
        hidden->SetVisible(false);

    tmRecordCircle = Timer(this, "tmRecordCircle", 200, [this] { tmRecordCircleTimer(); });
    tmRecordTime = Timer(this, "tmRecordTime", 200, [this] { tmRecordTimeTimer(); });
    tmQueue = Timer(this, "tmQueue", 1000, [this] { tmQueueTimer(); }); // FormCreate starts it for the whole run
    SaveDialog1 = new framework::TSaveDialog(this, "SaveDialog1");

    CreatePopupMenu();
    // The right button opens the menu anywhere on the window: no element has another use for it.
    for (framework::TControl* control : findChildren<framework::TControl*>())
        if (!control->PopupMenu())
            control->SetPopupMenu(PopupMenu1);
}

void TKestrune::CreatePopupMenu()
{
    PopupMenu1 = new framework::TPopupMenu(this, "PopupMenu1");
    auto* m = PopupMenu1;
    SelectFile1 = m->Add("SelectFile1", "Select File ...", [this] { tbOpenClick(); });
    StartRecording1 = m->Add("StartRecording1", "Start Recording", [this] { tbRecordClick(); });
    PauseRecording1 = m->Add("PauseRecording1", "Pause Recording", [this] { tbPauseClick(); });
    Startandpauserecording1 =
        m->Add("Startandpauserecording1", "Start and Pause Recording", [this] { tbrecandpauseClick(); });
    StopRecording1 = m->Add("StopRecording1", "Stop Recording", [this] { btnStopClick(); });
    m->AddSeparator("N7");
    PlayIt1 = m->Add("PlayIt1", "Play It", [this] { PlayIt1Click(); });
    StopPlayback1 = m->Add("StopPlayback1", "Stop Playback", [this] { StopPlayback1Click(); });
    m->AddSeparator("N10");
    Mixerdialog1 = m->Add("Mixerdialog1", "Mixer Dialog ...", [this] { btnMixerClick(); });
    QueueRecording1 = m->Add("QueueRecording1", "Queue Recording ...", [this] { tbQueueClick(); });
    Setting1 = m->Add("Setting1", "Setting ...", [this] { tbSetClick(); });
    m->AddSeparator("N8");
    Help1 = m->Add("Help1", "Help ...", [this] { Help1Click(); });
    About1 = m->Add("About1", "About ...", [this] { About1Click(); });
    m->AddSeparator("N9");
    Minimize1 = m->Add("Minimize1", "Minimize", [this] { Minimize1Click(); });
    HidetoTrayIcon1 = m->Add("HidetoTrayIcon1", "Hide to Tray Icon", [this] { HidetoTrayIcon1Click(); });
    RestorefromTrayIcon1 =
        m->Add("RestorefromTrayIcon1", "Restore from Tray Icon", [this] { RestorefromTrayIcon1Click(); });
    Exit1 = m->Add("Exit1", "Exit", [this] { Exit1Click(); });
}
