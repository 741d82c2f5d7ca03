#pragma once
// The text of a private-profile (INI) file, held line by line so that writing one key leaves
// every other byte of the file as it was. Pure C++: no file access, no Qt (the fuzzer links it).
//
// Reading: a line whose first non-blank character is "[" opens a section named by what stands
// up to the first "]"; "key=value" lines split at the first "="; ";" starts a comment line;
// names match ASCII case-insensitively; blanks (space, tab, vertical tab, form feed) around
// names and values are trimmed; a value wholly inside one pair of matching quotes reads
// without them; only the first of duplicate sections is searched and the first of duplicate
// keys wins; lines before the first section belong to no section. CRLF, LF and lone CR all
// end a line.
//
// Writing: an existing key's value is replaced in its own line, keeping the file's spelling of
// the key; a new key goes after the last key line of its section (right after the header when
// it has none); a new section is appended at the end. New lines take the file's line ending
// (its first one; LF for an empty file).
#include <cstdint>
#include <optional>
#include <string>
#include <list>
#include <string_view>
#include <unordered_map>

namespace platform {

class IniDocument {
public:
    IniDocument() = default;
    static IniDocument Parse(std::string_view text);

    // The whole text; Parse(text).Serialize() == text for any input.
    std::string Serialize() const;

    // The trimmed, unquoted value, or nothing when the section or key is absent.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Sets the value as written (CR and LF become spaces, so a value can never break the
    // file into extra lines).
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

private:
    enum class Kind : uint8_t { Other, Comment, Section, Key };
    struct Line {
        std::string text;
        std::string eol; // the line's own terminator; empty only for a last line without one
        Kind kind = Kind::Other;
        // For Section: the trimmed name; for Key: the trimmed key. Offsets into text.
        size_t nameBegin = 0;
        size_t nameLength = 0;
        std::string_view Name() const { return std::string_view(text).substr(nameBegin, nameLength); }
    };
    using LineIt = std::list<Line>::iterator;
    // The first section of each name (lower-cased), with the first line of each key in it,
    // so that reading and writing a key costs the same in a file of a million lines.
    struct Section {
        LineIt header;
        LineIt lastKey; // the header itself while the section has no key line
        std::unordered_map<std::string, LineIt> keys;
    };

    static Line Classify(std::string text, std::string eol);
    void Index(LineIt line, Section*& current);
    LineIt InsertAfter(LineIt position, std::string text);
    LineIt Append(std::string text);

    std::list<Line> lines_; // a list, so that index entries stay valid across inserts
    std::unordered_map<std::string, Section> sections_;
    std::string newline_ = "\n";
};

// The integer rule of the settings file: optional sign and decimal digits within 32 bits, or
// (for more than two characters starting with "0x"/"0X") up to eight significant hex digits,
// taken as the 32-bit pattern. Anything else is not an integer.
std::optional<int32_t> ParseIniInteger(std::string_view text);

// ASCII case-insensitive equality, as section and key names compare.
bool SameName(std::string_view a, std::string_view b);

} // namespace platform
