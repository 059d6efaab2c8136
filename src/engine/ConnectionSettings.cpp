#include "engine/ConnectionSettings.h"

#include <utility>

namespace flipset {

namespace {

void PutNumber(ByteArray& bytes, uint32_t number)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(number >> shift));
}

void PutText(ByteArray& bytes, const std::string& text)
{
    PutNumber(bytes, static_cast<uint32_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

class RecordReader {
public:
    explicit RecordReader(const ByteArray& bytes) : bytes_(bytes) {}

    bool Number(uint32_t& number)
    {
        if (bytes_.size() - at_ < 4)
            return false;
        number = 0;
        for (int i = 0; i < 4; ++i)
            number |= static_cast<uint32_t>(bytes_[at_ + i]) << (8 * i);
        at_ += 4;
        return true;
    }
    bool Text(std::string& text)
    {
        uint32_t length = 0;
        if (!Number(length) || bytes_.size() - at_ < length)
            return false;
        text.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                    bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + length));
        at_ += length;
        return true;
    }
    ByteArray Rest() const
    {
        return ByteArray(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.end());
    }

private:
    const ByteArray& bytes_;
    size_t at_ = 0;
};

}  // namespace

ByteArray EncodeConnectionSettings(const ConnectionSettings& settings)
{
    ByteArray bytes;
    PutNumber(bytes, settings.version);
    PutNumber(bytes, settings.counter);
    PutNumber(bytes, settings.flags);
    PutText(bytes, settings.proxyServer);
    PutText(bytes, settings.proxyBypass);
    PutText(bytes, settings.autoConfigUrl);
    bytes.insert(bytes.end(), settings.rest.begin(), settings.rest.end());
    return bytes;
}

bool DecodeConnectionSettings(const ByteArray& bytes, ConnectionSettings& settings)
{
    settings = ConnectionSettings();
    RecordReader in(bytes);
    ConnectionSettings read;
    if (!in.Number(read.version) || !in.Number(read.counter) || !in.Number(read.flags) ||
        !in.Text(read.proxyServer) || !in.Text(read.proxyBypass) || !in.Text(read.autoConfigUrl))
        return false;
    read.rest = in.Rest();
    settings = std::move(read);
    return true;
}

}  // namespace flipset
