#include "coder/QNHexCoder.h"

namespace flipset {

namespace {

// Frame positions: the width digit, the two count digits, then the fields.
constexpr size_t kCountPosition = 1;
constexpr size_t kFirstFieldPosition = 3;
constexpr size_t kShortestFrame = 5;
constexpr int kDefaultWidth = 2;
// The largest length that the widest written field (8 digits) can hold.
constexpr uint64_t kLongestText = 0xFFFFFFFFull;

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Lower-case digits pass the check but, not being in the alphabet, are worth
// 0: stored frames are read exactly as they always have been.
bool IsHexDigit(char c)
{
    return IsDecimalDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

CQNHexCoder::CQNHexCoder() : alphabet_("0123456789ABCDEF"), key_("7B3A0C58E26") {}

void CQNHexCoder::SetKey(const std::string& key)
{
    if (!key.empty())
        key_ = key;
}

int CQNHexCoder::LengthWidth(uint64_t length)
{
    if (length < 0x100)
        return 2;
    if (length < 0x1000)
        return 3;
    if (length < 0x10000)
        return 4;
    if (length < 0x100000)
        return 5;
    if (length < 0x1000000)
        return 6;
    if (length <= 0xFFFFFFF)
        return 7;
    return 8;
}

std::string CQNHexCoder::CodeValue(const std::string& text) const
{
    // A longer text would not fit its length digits and decode as garbage.
    if (text.empty() || text.size() > kLongestText)
        return std::string();

    const uint64_t length = text.size();
    const int width = LengthWidth(length);
    std::string frame;
    frame.reserve(kFirstFieldPosition + static_cast<size_t>(width) + text.size());
    frame += static_cast<char>('0' + width);
    frame += "01";
    for (int digit = width - 1; digit >= 0; --digit)
        frame += alphabet_[(length >> (4 * digit)) & 0xF];
    frame += text;
    return Scramble(frame);
}

std::string CQNHexCoder::DecodeValue(const std::string& coded) const
{
    const std::string frame = Unscramble(coded);
    if (!IsValidFrame(frame))
        return std::string();
    return GetField(frame, 1);
}

std::string CQNHexCoder::Scramble(const std::string& frame) const
{
    std::string coded;
    coded.reserve(2 * frame.size());
    for (size_t i = 0; i < frame.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(frame[i]);
        coded += static_cast<char>('A' + ((byte >> 4) ^ KeyVal(2 * i)));
        coded += static_cast<char>('A' + ((byte & 0xF) ^ KeyVal(2 * i + 1)));
    }
    return coded;
}

std::string CQNHexCoder::Unscramble(const std::string& coded) const
{
    // A letter outside 'A'..'P' stays out of 0..15 whatever the key digit,
    // and reads as the digit '0'.
    auto digitAt = [&](size_t position) {
        const char c = coded[position];
        if (c < 'A' || c > 'P')
            return 0;
        return (c - 'A') ^ KeyVal(position);
    };

    std::string frame;
    frame.reserve(coded.size() / 2);
    for (size_t j = 0; j < coded.size() / 2; ++j)
        frame += static_cast<char>(16 * digitAt(2 * j) + digitAt(2 * j + 1));
    return frame;
}

bool CQNHexCoder::ReadLayout(const std::string& frame, FrameLayout& layout) const
{
    if (frame.size() < kShortestFrame)
        return false;
    if (!IsDecimalDigit(frame[0]) || !IsDecimalDigit(frame[kCountPosition]) ||
        !IsDecimalDigit(frame[kCountPosition + 1]))
        return false;

    int width = Val(frame[0]);
    if (width == 0)
        width = kDefaultWidth;
    // The count digits are weighted 16 and 1, so "10" is 16 and is refused.
    layout.count = 16 * Val(frame[kCountPosition]) + Val(frame[kCountPosition + 1]);
    if (layout.count < 1 || layout.count > kMaxFields)
        return false;

    // In 64 bits: at most 9 digits give lengths below 16^9, and three fields
    // of those cannot overflow. A position may pass the frame's end; only
    // the length digits themselves must lie inside it.
    const uint64_t size = frame.size();
    uint64_t position = kFirstFieldPosition;
    for (int field = 0; field < layout.count; ++field) {
        if (position > size || static_cast<uint64_t>(width) > size - position)
            return false;
        uint64_t length = 0;
        for (int digit = 0; digit < width; ++digit) {
            const char c = frame[static_cast<size_t>(position) + static_cast<size_t>(digit)];
            if (!IsHexDigit(c))
                return false;
            length = 16 * length + static_cast<uint64_t>(Val(c));
        }
        layout.fields[field].start = position + static_cast<uint64_t>(width);
        layout.fields[field].length = length;
        position = layout.fields[field].start + length;
    }
    return true;
}

bool CQNHexCoder::IsValidFrame(const std::string& frame) const
{
    FrameLayout layout;
    return ReadLayout(frame, layout);
}

std::string CQNHexCoder::GetField(const std::string& frame, int fieldNumber) const
{
    FrameLayout layout;
    if (!ReadLayout(frame, layout) || fieldNumber < 1 || fieldNumber > layout.count)
        return std::string();

    const FieldSpan& field = layout.fields[fieldNumber - 1];
    const uint64_t size = frame.size();
    if (field.length == 0 || field.start >= size)
        return std::string();
    const uint64_t available = size - field.start;
    const uint64_t taken = field.length < available ? field.length : available;
    return frame.substr(static_cast<size_t>(field.start), static_cast<size_t>(taken));
}

int CQNHexCoder::Val(char c) const
{
    const size_t position = alphabet_.find(c);
    return position == std::string::npos ? 0 : static_cast<int>(position);
}

int CQNHexCoder::KeyVal(size_t position) const
{
    return Val(key_[position % key_.size()]);
}

}  // namespace flipset
