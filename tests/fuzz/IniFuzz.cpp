// libFuzzer target for the settings-file parser: any bytes must parse, serialize back to
// exactly themselves, answer every settings key, and take writes that read back.
#include "platform/IniDocument.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto doc = platform::IniDocument::Parse(text);
    Check(doc.Serialize() == text);

    static const char* const keys[][2] = {{"set", "RecordType"}, {"set", "Sample Rate"}, {"Queue", "Count"},
        {"Queue", "Date0"}, {"AutoName", "Path"}, {"WMA", "Use"}, {"", ""}};
    for (const auto& key : keys)
        if (const auto value = doc.Value(key[0], key[1]))
            (void)platform::ParseIniInteger(*value);

    doc.SetValue("set", "RecordType", "2");
    doc.SetValue("Queue", "TargetFile7", "/home/u/rec.mp3");
    doc.SetValue("NewSection", "Key", "v");
    Check(doc.Value("SET", "recordtype") == std::string("2"));
    Check(doc.Value("queue", "targetfile7") == std::string("/home/u/rec.mp3"));
    Check(doc.Value("newsection", "key") == std::string("v"));
    // What was written must survive a second parse of the new text.
    const auto again = platform::IniDocument::Parse(doc.Serialize());
    Check(again.Value("set", "RecordType") == std::string("2"));
    Check(again.Value("NewSection", "Key") == std::string("v"));
    return 0;
}
