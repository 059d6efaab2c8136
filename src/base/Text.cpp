#include "base/Text.h"

#include <cstdint>

namespace flipset {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string JoinText(const StringList& entries, char separator)
{
    std::string text;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            text += separator;
        text += entries[i];
    }
    return text;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Trim(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsWhiteSpace(text[begin]))
        ++begin;
    while (end > begin && IsWhiteSpace(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

namespace {

char FoldAsciiCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i]))
            return false;
    }
    return true;
}

std::string FoldCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = FoldAsciiCase(c);
    return folded;
}

int LeadingNumber(std::string_view text)
{
    constexpr uint64_t kLargest = 2147483647;
    uint64_t value = 0;
    for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > kLargest)
            return 0;
    }
    return static_cast<int>(value);
}

std::string FillPlaceholders(std::string_view pattern, const StringList& arguments)
{
    std::string text;
    text.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c == '%' && next >= '1' && next <= '9' &&
            static_cast<size_t>(next - '1') < arguments.size()) {
            text += arguments[static_cast<size_t>(next - '1')];
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace flipset
