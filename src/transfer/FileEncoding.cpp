#include "transfer/FileEncoding.h"

#include <algorithm>
#include <cstdint>

namespace flipset {

namespace {

constexpr const char* kSaveAdvice = "; save it as UTF-8, or as UTF-16 with a byte order mark";

bool StartsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

uint8_t Byte(std::string_view bytes, size_t index)
{
    return static_cast<uint8_t>(bytes[index]);
}

void AppendUtf8(uint32_t codePoint, std::string& text)
{
    if (codePoint < 0x80) {
        text.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        text.push_back(static_cast<char>(0xC0 | codePoint >> 6));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        text.push_back(static_cast<char>(0xE0 | codePoint >> 12));
        text.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xF0 | codePoint >> 18));
        text.push_back(static_cast<char>(0x80 | (codePoint >> 12 & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// The length of the well-formed UTF-8 sequence at the offset, or 0: no
// overlong forms, no surrogates, nothing above U+10FFFF.
size_t Utf8SequenceLength(std::string_view text, size_t offset)
{
    const uint8_t lead = Byte(text, offset);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (offset + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const uint8_t next = Byte(text, offset + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool CheckUtf8(std::string_view text, std::string& fault)
{
    for (size_t offset = 0; offset < text.size();) {
        // Most of a document is ASCII: such a run is passed at once.
        while (offset < text.size() && Byte(text, offset) < 0x80)
            ++offset;
        if (offset == text.size())
            break;
        const size_t length = Utf8SequenceLength(text, offset);
        if (length == 0) {
            fault = LineAndColumn(text, offset) + ": the file is not UTF-8: the byte " +
                    QuoteBytes(text.substr(offset, 1)) + " is no UTF-8 character here" +
                    kSaveAdvice;
            return false;
        }
        offset += length;
    }
    return true;
}

bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& text, std::string& fault)
{
    if (bytes.size() % 2 != 0) {
        fault = "the file is UTF-16 but ends in the middle of a character";
        return false;
    }
    auto unitAt = [&bytes, bigEndian](size_t offset) {
        const uint32_t first = Byte(bytes, offset);
        const uint32_t second = Byte(bytes, offset + 1);
        return bigEndian ? first << 8 | second : second << 8 | first;
    };
    text.clear();
    text.reserve(bytes.size() / 2);
    size_t line = 1;
    for (size_t offset = 0; offset < bytes.size(); offset += 2) {
        uint32_t codePoint = unitAt(offset);
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            const bool paired = codePoint <= 0xDBFF && offset + 4 <= bytes.size() &&
                                unitAt(offset + 2) >= 0xDC00 && unitAt(offset + 2) <= 0xDFFF;
            if (!paired) {
                fault = "line " + std::to_string(line) +
                        ": the UTF-16 text holds half of a character pair, the bytes " +
                        QuoteBytes(bytes.substr(offset, 2));
                return false;
            }
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (unitAt(offset + 2) - 0xDC00);
            offset += 2;
        }
        if (codePoint == '\n')
            ++line;
        AppendUtf8(codePoint, text);
    }
    return true;
}

}  // namespace

bool DecodeFileText(std::string_view bytes, std::string& converted, std::string_view& text,
                    std::string& fault)
{
    text = {};
    using namespace std::string_view_literals;
    // UTF-32's marks first: the little endian one begins like UTF-16's.
    if (StartsWith(bytes, "\xFF\xFE\0\0"sv) || StartsWith(bytes, "\0\0\xFE\xFF"sv)) {
        fault = std::string("the file is UTF-32, which is not read") + kSaveAdvice;
        return false;
    }
    const bool littleEndian = StartsWith(bytes, "\xFF\xFE"sv);
    if (littleEndian || StartsWith(bytes, "\xFE\xFF"sv)) {
        if (!Utf16ToUtf8(bytes.substr(2), !littleEndian, converted, fault))
            return false;
        text = converted;
        return true;
    }
    if (StartsWith(bytes, "\xEF\xBB\xBF"sv))
        bytes.remove_prefix(3);
    // A document starts with an ASCII character, which UTF-16 writes with a
    // 0 byte beside it; UTF-8 has no 0 byte there.
    if (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0')) {
        fault = std::string(
                    "the file is UTF-16 without a byte order mark, which cannot be told "
                    "apart from other encodings") +
                kSaveAdvice;
        return false;
    }
    if (!CheckUtf8(bytes, fault))
        return false;
    text = bytes;
    return true;
}

std::string LineAndColumn(std::string_view text, size_t offset)
{
    offset = std::min(offset, text.size());
    size_t line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

std::string QuoteBytes(std::string_view bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string quoted;
    quoted.reserve(bytes.size());
    for (char c : bytes) {
        const uint8_t byte = static_cast<uint8_t>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            quoted.push_back(c);
        } else {
            quoted += "\\x";
            quoted.push_back(kDigits[byte >> 4]);
            quoted.push_back(kDigits[byte & 15]);
        }
    }
    return quoted;
}

std::string QuoteControlCharacters(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size());
    for (char c : text) {
        const uint8_t byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F)
            quoted += QuoteBytes(std::string_view(&c, 1));
        else
            quoted.push_back(c);
    }
    return quoted;
}

std::string DocumentTextForMessage(const std::string& utf8, const CodePageConverter& codePage)
{
    std::string ansi;
    if (!codePage.FromUtf8(utf8, ansi))
        return QuoteBytes(utf8);
    return QuoteControlCharacters(ansi);
}

}  // namespace flipset
