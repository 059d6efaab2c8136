// Decoding any text must return without touching memory outside it, and
// coding any text must decode back to exactly that text.
#include "coder/QNHexCoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

using flipset::CQNHexCoder;

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A decoded text is a piece of the frame, which has half as many bytes as the
// coded text has characters.
void CheckDecode(const CQNHexCoder& coder, const std::string& coded)
{
    Check(coder.DecodeValue(coded).size() <= coded.size() / 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    CQNHexCoder listCoder;
    listCoder.SetKey(flipset::kListCoderKey);
    const CQNHexCoder defaultCoder;
    CheckDecode(listCoder, input);
    CheckDecode(defaultCoder, input);
    // Random letters seldom unscramble to a frame; reading the input itself
    // as the frame lets the fuzzer explore the frame reader directly.
    CheckDecode(listCoder, listCoder.Scramble(input));

    const std::string coded = listCoder.CodeValue(input);
    Check(coded.find_first_not_of("ABCDEFGHIJKLMNOP") == std::string::npos);
    Check(listCoder.DecodeValue(coded) == input);
    return 0;
}
