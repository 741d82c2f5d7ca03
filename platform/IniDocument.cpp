#include "IniDocument.h"

namespace platform {
namespace {
// Files edited by hand may be padded with any spacing character; only CR and LF end a line.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
} // namespace

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

IniDocument::Line IniDocument::Classify(std::string text, std::string eol)
{
    Line line{std::move(text), std::move(eol)};
    const std::string_view all(line.text);
    size_t first = 0;
    while (first < all.size() && IsBlank(all[first]))
        ++first;
    if (first == all.size())
        return line;
    if (all[first] == ';') {
        line.kind = Kind::Comment;
        return line;
    }
    std::string_view name;
    if (all[first] == '[') {
        const auto close = all.find(']', first + 1);
        name = all.substr(first + 1, close == std::string_view::npos ? std::string_view::npos : close - first - 1);
        line.kind = Kind::Section;
    } else {
        const auto eq = all.find('=');
        if (eq == std::string_view::npos)
            return line;
        name = all.substr(0, eq);
        line.kind = Kind::Key;
    }
    name = Trim(name);
    line.nameBegin = name.empty() ? 0 : static_cast<size_t>(name.data() - all.data());
    line.nameLength = name.size();
    return line;
}

std::string LowerName(std::string_view name)
{
    std::string lower(name);
    for (char& ch : lower)
        ch = Lower(ch);
    return lower;
}

void IniDocument::Index(LineIt line, Section*& current)
{
    if (line->kind == Kind::Section) {
        // Only the first section of a name is ever searched; a later twin is left alone.
        const auto [it, inserted] = sections_.try_emplace(LowerName(line->Name()), Section{line, line, {}});
        current = inserted ? &it->second : nullptr;
    } else if (line->kind == Kind::Key && current) {
        current->keys.try_emplace(LowerName(line->Name()), line); // the first of twin keys wins
        current->lastKey = line;
    }
}

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument doc;
    bool newlineSeen = false;
    Section* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        size_t eolLength = 0;
        if (end < text.size())
            eolLength = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        std::string eol(text.substr(end, eolLength));
        if (!newlineSeen && !eol.empty()) {
            doc.newline_ = eol;
            newlineSeen = true;
        }
        doc.lines_.push_back(Classify(std::string(text.substr(start, end - start)), std::move(eol)));
        doc.Index(std::prev(doc.lines_.end()), current);
        start = end + eolLength;
    }
    return doc;
}

std::string IniDocument::Serialize() const
{
    size_t total = 0;
    for (const auto& line : lines_)
        total += line.text.size() + line.eol.size();
    std::string out;
    out.reserve(total);
    for (const auto& line : lines_) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const
{
    const auto sec = sections_.find(LowerName(section));
    if (sec == sections_.end())
        return std::nullopt;
    const auto found = sec->second.keys.find(LowerName(key));
    if (found == sec->second.keys.end())
        return std::nullopt;
    const std::string& text = found->second->text;
    std::string_view value = Trim(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

IniDocument::LineIt IniDocument::InsertAfter(LineIt position, std::string text)
{
    // The line before a new one must end, or the two would run together.
    if (position->eol.empty())
        position->eol = newline_;
    return lines_.insert(std::next(position), Classify(std::move(text), newline_));
}

IniDocument::LineIt IniDocument::Append(std::string text)
{
    if (lines_.empty()) {
        lines_.push_back(Classify(std::move(text), newline_));
        return lines_.begin();
    }
    return InsertAfter(std::prev(lines_.end()), std::move(text));
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    std::string clean(value);
    for (char& c : clean)
        if (c == '\r' || c == '\n')
            c = ' ';

    auto sec = sections_.find(LowerName(section));
    if (sec == sections_.end()) {
        const LineIt header = Append("[" + std::string(section) + "]");
        sec = sections_.try_emplace(LowerName(section), Section{header, header, {}}).first;
    }
    Section& s = sec->second;
    const std::string lowerKey = LowerName(key);
    if (const auto found = s.keys.find(lowerKey); found != s.keys.end()) {
        Line& line = *found->second;
        const std::string spelled(line.Name());
        line = Classify(spelled + "=" + clean, std::move(line.eol));
        return;
    }
    const LineIt added = InsertAfter(s.lastKey, std::string(key) + "=" + clean);
    s.keys.emplace(lowerKey, added);
    s.lastKey = added;
}

std::optional<int32_t> ParseIniInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint64_t value = 0;
        for (char c : text.substr(2)) {
            const int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<uint64_t>(digit);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace platform
