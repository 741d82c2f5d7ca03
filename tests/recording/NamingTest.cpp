// Naming the target file: automatic names, the completed chosen name, the shortened label
// text, and the file selection command on a window.
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"
#include "framework/Messages.h"
#include "framework/SaveDialog.h"
#include "platform/LocalTime.h"
#include "platform/PlatformError.h"
#include "recording/Naming.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

const QDateTime Moment(QDate(2026, 12, 8), QTime(4, 5, 9));

RecordingFormat Format(bool useWma, int32_t recordType)
{
    RecordingFormat format;
    format.UseWma = useWma;
    format.RecordType = recordType;
    return format;
}
RecordingFormat Wma()
{
    return Format(true, 1);
}
RecordingFormat Wav()
{
    return Format(false, 0);
}
RecordingFormat Mp3()
{
    return Format(false, 1);
}

AutoNameSettings Parts(bool year, bool month, bool day, bool hour, bool minute, bool second, std::string path)
{
    AutoNameSettings names;
    names.Year = year;
    names.Month = month;
    names.Day = day;
    names.Hour = hour;
    names.Minute = minute;
    names.Second = second;
    names.Path = std::move(path);
    return names;
}

bool FolderExists(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).isDir();
}

// 6 px per character (a UTF-8 sequence is one character); a text cut inside a character
// cannot be drawn and never fits.
int SixPerCharacter(const std::string& text)
{
    if (QString::fromUtf8(text.data(), qsizetype(text.size())).toUtf8().toStdString() != text)
        return 100000;
    int characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return 6 * characters;
}

} // namespace

TEST(NamingAutoName, PartsOfOneMomentInTheFolder)
{
    fakes::TempFolder folder;
    const std::string path = folder.File("names/"); // not there yet

    EXPECT_EQ(MakeAutoFileName(Parts(false, false, false, false, false, false, path), Wma(), Moment), "");
    EXPECT_FALSE(FolderExists(path)) << "no name, no folder";

    const struct {
        AutoNameSettings names;
        const char* name;
    } cases[] = {
        {Parts(true, true, true, true, true, true, path), "20261208 04-05-09.wma"},
        {Parts(true, true, true, false, false, false, path), "20261208.wma"},
        {Parts(false, false, false, true, true, true, path), "04-05-09.wma"},
        {Parts(false, true, false, false, false, true, path), "12 09.wma"},
        {Parts(false, false, false, true, false, false, path), "04.wma"},
        {Parts(false, false, true, false, true, false, path), "08 05.wma"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeAutoFileName(c.names, Wma(), Moment), path + c.name);
    EXPECT_TRUE(FolderExists(path));

    // The configured format's extension, and a folder given without its separator.
    const std::string bare = folder.File("deeper/still");
    EXPECT_EQ(MakeAutoFileName(Parts(true, true, true, true, true, true, bare), Mp3(), Moment),
        bare + "/20261208 04-05-09.mp3");
    EXPECT_TRUE(FolderExists(bare)) << "missing parents are created too";
    EXPECT_EQ(MakeAutoFileName(Parts(false, false, false, true, false, false, bare), Wav(), Moment),
        bare + "/04.wav");

    // Midnight on the first of January: every part keeps its leading zero.
    EXPECT_EQ(MakeAutoFileName(Parts(true, true, true, true, true, true, path), Wma(),
                  QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0))),
        path + "20270101 00-00-00.wma");
}

TEST(NamingAutoName, FolderThatCannotBeMadeThrows)
{
    fakes::TempFolder folder;
    try {
        MakeAutoFileName(Parts(true, true, true, true, true, true, ""), Wma(), Moment);
        FAIL() << "an empty folder must fail";
    } catch (const platform::PlatformError& error) {
        EXPECT_STREQ(error.what(), "Unable to create directory");
    }
    // A plain file stands where a parent folder should be.
    fakes::WriteWholeFile(folder.File("file"), "x");
    EXPECT_THROW(MakeAutoFileName(Parts(true, false, false, false, false, false, folder.File("file/sub")), Wma(), Moment),
        platform::PlatformError);
    // With no part chosen the folder is never asked for.
    EXPECT_EQ(MakeAutoFileName(Parts(false, false, false, false, false, false, ""), Wma(), Moment), "");
}

TEST(NamingAutoName, WindowReadsTheClockOnceWithItsSettings)
{
    fakes::TestWindow win; // puts the real clock back when it goes
    int reads = 0;
    platform::SetLocalTimeSource([&reads] {
        ++reads;
        return Moment;
    });
    win->Settings.AutoName = Parts(true, true, true, true, true, true, win.folder.File("auto"));
    win->Settings.Format = Wav();
    EXPECT_EQ(win->Session->MakeAutoFileName(), win.folder.File("auto/20261208 04-05-09.wav"));
    EXPECT_EQ(reads, 1);
}

TEST(NamingFormat, ExtensionAndFilterFollowTheConfiguredFormat)
{
    const struct {
        RecordingFormat format;
        const char* extension;
        const char* filter;
    } cases[] = {
        {Wma(), ".wma", "Wma(*.wma)|*.wma"},
        {Format(true, 0), ".wma", "Wma(*.wma)|*.wma"},
        {Wav(), ".wav", "Wav(*.wav)|*.wav"},
        {Mp3(), ".mp3", "Mp3(*.mp3)|*.mp3"},
        {Format(false, 2), ".mp3", "Mp3(*.mp3)|*.mp3"}, // the rule knows only WAV and else
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConfiguredExtension(c.format), c.extension);
        EXPECT_EQ(SaveFilterOf(c.format), c.filter);
    }
    // The dialog shows a pattern its description names once.
    EXPECT_EQ(framework::QtFilterOf("Wma(*.wma)|*.wma"), "Wma(*.wma)");
    EXPECT_EQ(framework::QtFilterOf("WAV File|*.wav|MP3 File(*.mp3)|*.mp3"), "WAV File (*.wav);;MP3 File(*.mp3)");
}

TEST(NamingChosen, ExtensionAppendedUnlessOneOfTheThree)
{
    const struct {
        const char* chosen;
        RecordingFormat format;
        const char* result;
    } cases[] = {
        {"/rec/take", Wma(), "/rec/take.wma"},
        {"/rec/take.ogg", Wma(), "/rec/take.ogg.wma"},
        {"/rec/take.WAV", Mp3(), "/rec/take.WAV"},
        {"/rec/take.Mp3", Wma(), "/rec/take.Mp3"},
        {"/rec/take.wma", Wav(), "/rec/take.wma"},
        {"/rec/take.wav.bak", Wav(), "/rec/take.wav.bak.wav"},
        {"/rec.wav/take", Mp3(), "/rec.wav/take.mp3"}, // a dot in the folder is no extension
        {"/rec/take.", Mp3(), "/rec/take..mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChosenFileName(c.chosen, c.format), c.result) << c.chosen;
}

TEST(NamingShort, LongestFittingBeginningWithTheFileName)
{
    // 245 px holds 40 characters of 6 px.
    const std::string forty = "/home/someone/recordings/2026/take1.wav"; // 39
    EXPECT_EQ(ShortFileName(forty + "x", SixPerCharacter, 245), forty + "x");
    EXPECT_EQ(ShortFileName(forty + "x", SixPerCharacter, 240), forty + "x") << "exactly as wide fits";
    EXPECT_EQ(ShortFileName(forty + "x", SixPerCharacter, 239), "/home/someone/recordings/.../take1.wavx");

    // 60 characters; the file name and ".../" take 25, leaving 15 of the folder.
    const std::string longPath = "/home/someone/Documents/recordings/2026/20261208 04-05-09.wma";
    const std::string shortened = ShortFileName(longPath, SixPerCharacter, 245);
    EXPECT_EQ(shortened, "/home/someone/D.../20261208 04-05-09.wma");
    EXPECT_EQ(SixPerCharacter(shortened), 240);
    EXPECT_EQ(ShortFileName(longPath + "x", SixPerCharacter, 245), "/home/someone/.../20261208 04-05-09.wmax");

    // Only one character of the folder fits.
    const std::string name34 = "abcdefghijklmnopqrstuvwxyz01234567";
    EXPECT_EQ(ShortFileName("/folder/" + name34 + "z", SixPerCharacter, 245), "/.../" + name34 + "z");
    // Not even that: the whole path, for the label to clip.
    const std::string name40 = name34 + "890123";
    EXPECT_EQ(ShortFileName("/folder/" + name40, SixPerCharacter, 245), "/folder/" + name40);
    EXPECT_EQ(ShortFileName("/" + name40, SixPerCharacter, 245), "/" + name40);
    // No folder part at all.
    EXPECT_EQ(ShortFileName(name40 + "456", SixPerCharacter, 245), name40 + "456");

    // The beginning is cut between characters, never inside one.
    const std::string accented = "/Müsik/Aufnahmen/abcdefghijklmnopqrstuvwxyz.wav"; // 47 characters
    EXPECT_EQ(ShortFileName(accented, SixPerCharacter, 245), "/Müsik.../abcdefghijklmnopqrstuvwxyz.wav");
    EXPECT_EQ(ShortFileName("/Mü" + accented, SixPerCharacter, 245), "/Mü/Mü.../abcdefghijklmnopqrstuvwxyz.wav");
}

TEST(NamingShort, WindowMeasuresInTheLabelsFont)
{
    fakes::TestWindow win;
    TKestrune& w = *win;
    const QFontMetrics metrics(w.lbFileName->font());
    const auto width = [&](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };

    EXPECT_EQ(w.ShortFileName("/tmp/take.wav"), "/tmp/take.wav");

    const std::string folder = "/home/someone/Documents and Settings/My Recordings/2026/December/";
    const std::string name = "20261208 04-05-09.wma";
    const std::string tail = ".../" + name;
    const std::string shortened = w.ShortFileName(folder + name);
    ASSERT_GT(shortened.size(), tail.size());
    const size_t kept = shortened.size() - tail.size();
    ASSERT_GE(kept, 1u);
    EXPECT_EQ(shortened, folder.substr(0, kept) + tail);
    EXPECT_LE(width(shortened), 245);
    EXPECT_GT(width(folder.substr(0, kept + 1) + tail), 245) << "one more character no longer fits";
}

TEST(NamingOpen, ChosenFileBecomesTheTargetAndIsShown)
{
    const struct {
        RecordingFormat format;
        const char* filter;
        const char* extension;
    } cases[] = {{Wma(), "Wma(*.wma)|*.wma", ".wma"}, {Wav(), "Wav(*.wav)|*.wav", ".wav"},
        {Mp3(), "Mp3(*.mp3)|*.mp3", ".mp3"}};
    for (const auto& c : cases) {
        fakes::TestWindow win;
        TKestrune& w = *win;
        w.Settings.Format = c.format;
        w.SaveDialog1->FileName = "/earlier/choice.wav";
        const std::string chosen = "/home/someone/Documents and Settings/My Recordings/2026/take";
        fakes::ModalAnswers answers;
        answers.Queue({framework::IDOK, chosen});
        w.tbOpenClick();

        ASSERT_EQ(answers.Seen().size(), 1u);
        const framework::ModalRequest& request = answers.Seen()[0];
        EXPECT_EQ(request.kind, framework::ModalKind::SaveDialog);
        EXPECT_EQ(request.text, "Save As");
        EXPECT_EQ(request.filter, c.filter);
        EXPECT_EQ(request.fileName, "") << "the proposed name is cleared";
        EXPECT_EQ(w.Session->State.TargetFile, chosen + c.extension);
        EXPECT_EQ(w.lbFileName->Hint(), w.Session->State.TargetFile);
        EXPECT_EQ(w.lbFileName->Caption(), w.ShortFileName(w.Session->State.TargetFile));
        EXPECT_NE(w.lbFileName->Caption().find(".../take" + std::string(c.extension)), std::string::npos)
            << w.lbFileName->Caption();
    }
}

TEST(NamingOpen, CancelAndRecordingLeaveTheTargetAlone)
{
    fakes::TestWindow win;
    TKestrune& w = *win;
    w.Session->State.TargetFile = "/rec/kept.wav";
    const std::string caption = w.lbFileName->Caption();
    {
        fakes::ModalAnswers answers;
        answers.Queue({});
        w.tbOpenClick();
        EXPECT_EQ(answers.Seen().size(), 1u);
    }
    EXPECT_EQ(w.Session->State.TargetFile, "/rec/kept.wav");
    EXPECT_EQ(w.lbFileName->Caption(), caption);

    w.Session->State.Recording = true;
    {
        fakes::ModalAnswers answers;
        answers.Queue({framework::IDOK, "/x/y.wav"});
        w.tbOpenClick();
        EXPECT_TRUE(answers.Seen().empty()) << "no dialog while recording";
    }
    EXPECT_EQ(w.Session->State.TargetFile, "/rec/kept.wav");
    EXPECT_EQ(w.lbFileName->Caption(), caption);
}
