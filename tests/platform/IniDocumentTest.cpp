#include "platform/IniDocument.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace std::string_literals;

using platform::IniDocument;
using platform::ParseIniInteger;

namespace {
std::string ValueOr(const IniDocument& doc, const char* section, const char* key, const char* missing = "<missing>")
{
    return doc.Value(section, key).value_or(missing);
}
} // namespace

TEST(IniDocumentRead, SectionsKeysAndBlanks)
{
    const auto doc = IniDocument::Parse(
        "orphan=1\n"
        "  [ Set ]  trailing junk\n"
        "\tRecordType \t=  2 \t\n"
        "Sample Rate=44100\n"
        "; RecordType=9\n"
        "   ;Channels=9\n"
        "junk line without equals\n"
        "Path = a=b = c\n"
        "\v\fChannels\f =\v 1\f\v\n"
        "[\fother\v]\n"
        "RecordType=7\n");
    EXPECT_EQ(ValueOr(doc, "set", "recordtype"), "2");
    EXPECT_EQ(ValueOr(doc, "SET", "sample rate"), "44100");
    EXPECT_EQ(ValueOr(doc, "set", "Channels"), "1") << "comment lines hold no key; vertical tab and form feed are blanks";
    EXPECT_EQ(ValueOr(doc, "set", "Path"), "a=b = c") << "split at the first '='";
    EXPECT_EQ(ValueOr(doc, "other", "RecordType"), "7");
    EXPECT_EQ(ValueOr(doc, "", "orphan"), "<missing>") << "lines before the first section belong to none";
    EXPECT_EQ(ValueOr(doc, "missing", "RecordType"), "<missing>");
}

TEST(IniDocumentRead, QuotesDuplicatesAndLineEndings)
{
    const auto doc = IniDocument::Parse(
        "[q]\r\n"
        "a=\"quoted value\"\r\n"
        "b='single'\r"
        "c=\"mismatched'\n"
        "d=\"\n"
        "e=\"\"\n"
        "a=second\n"
        "[Q]\n"
        "f=in the twin section\n");
    EXPECT_EQ(ValueOr(doc, "q", "a"), "quoted value") << "the first of twin keys wins";
    EXPECT_EQ(ValueOr(doc, "q", "b"), "single");
    EXPECT_EQ(ValueOr(doc, "q", "c"), "\"mismatched'");
    EXPECT_EQ(ValueOr(doc, "q", "d"), "\"");
    EXPECT_EQ(ValueOr(doc, "q", "e"), "");
    EXPECT_EQ(ValueOr(doc, "q", "f"), "<missing>") << "only the first of twin sections is searched";
}

TEST(IniDocumentWrite, ReplacesInPlaceAndKeepsEverythingElse)
{
    const std::string text =
        "; my settings\r\n"
        "[SET]\r\n"
        "  RECORDTYPE = 0   \r\n"
        "unknown=kept\r\n"
        "\r\n"
        "; trailing comment\r\n"
        "[WMA]\r\n"
        "Use=1\r\n";
    auto doc = IniDocument::Parse(text);
    doc.SetValue("set", "RecordType", "1");
    doc.SetValue("set", "Channels", "2");
    doc.SetValue("AutoStop", "Hour", "3");
    EXPECT_EQ(doc.Serialize(),
        "; my settings\r\n"
        "[SET]\r\n"
        "RECORDTYPE=1\r\n"
        "unknown=kept\r\n"
        "Channels=2\r\n"
        "\r\n"
        "; trailing comment\r\n"
        "[WMA]\r\n"
        "Use=1\r\n"
        "[AutoStop]\r\n"
        "Hour=3\r\n");
}

TEST(IniDocumentWrite, NewFileMissingFinalNewlineAndEmptySection)
{
    IniDocument fresh;
    fresh.SetValue("set", "a", "1");
    fresh.SetValue("set", "b", "2");
    EXPECT_EQ(fresh.Serialize(), "[set]\na=1\nb=2\n");

    auto unterminated = IniDocument::Parse("[x]\ry=1");
    unterminated.SetValue("x", "z", "2");
    EXPECT_EQ(unterminated.Serialize(), "[x]\ry=1\rz=2\r") << "a lone-CR file keeps CR";

    auto headerOnly = IniDocument::Parse("[x]\n; note\n[y]\n");
    headerOnly.SetValue("x", "k", "v");
    EXPECT_EQ(headerOnly.Serialize(), "[x]\nk=v\n; note\n[y]\n");

    auto twin = IniDocument::Parse("[x]\na=1\n[X]\nb=1\n");
    twin.SetValue("x", "b", "2");
    EXPECT_EQ(twin.Serialize(), "[x]\na=1\nb=2\n[X]\nb=1\n") << "writes go to the first of twin sections";
}

TEST(IniDocumentWrite, ValuesCannotBreakLines)
{
    IniDocument doc;
    doc.SetValue("s", "k", "two\nlines\r");
    EXPECT_EQ(doc.Serialize(), "[s]\nk=two lines \n");
}

TEST(IniDocumentRoundTrip, AnyBytesSerializeUnchanged)
{
    std::mt19937 random(7);
    const std::string alphabet = "[]=;\"' \t\r\nabcXYZ019\0\xff"s;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        EXPECT_EQ(IniDocument::Parse(text).Serialize(), text);
    }
}

TEST(IniDocumentWrite, ManyKeysStayFast)
{
    // A queue of ten thousand entries: each write is a lookup, not a scan of the file.
    IniDocument doc;
    for (int i = 0; i < 40000; ++i)
        doc.SetValue("Queue", "Key" + std::to_string(i), std::to_string(i));
    for (int i = 0; i < 40000; i += 997)
        EXPECT_EQ(ValueOr(doc, "queue", ("KEY" + std::to_string(i)).c_str()), std::to_string(i));
}

TEST(IniInteger, DecimalHexAndJunk)
{
    EXPECT_EQ(ParseIniInteger("44100"), 44100);
    EXPECT_EQ(ParseIniInteger("-5"), -5);
    EXPECT_EQ(ParseIniInteger("+5"), 5);
    EXPECT_EQ(ParseIniInteger("0x20"), 32);
    EXPECT_EQ(ParseIniInteger("0XfF"), 255);
    EXPECT_EQ(ParseIniInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
    for (const char* junk : {"", "abc", "0x", "0xG1", "0x100000000", "2147483648", "-2147483649", "12a", "1 2",
             "-", "99999999999999999999", "yes", "$20"})
        EXPECT_FALSE(ParseIniInteger(junk).has_value()) << junk;
}
