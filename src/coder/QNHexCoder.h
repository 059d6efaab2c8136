// CQNHexCoder: turns a text into an opaque text of capital letters for
// storage in the registry, and back.
//
// The text is wrapped in a length-prefixed frame:
//   width digit w | field count "01".."03" | per field: w hex digits of its
//   length, then its bytes
// and every frame byte is scrambled with the key into two letters 'A'..'P'.
// Texts are byte strings: every byte value, 0 included, codes and decodes.
//
// Callers create a coder on the stack, set kListCoderKey, code or decode, and
// drop it. Malformed coded text never fails outwardly: it decodes to an empty
// text.
#pragma once

#include <cstdint>
#include <string>

namespace flipset {

// The key every stored list entry is coded with.
constexpr const char* kListCoderKey = "5A0C93E1";

class CQNHexCoder {
public:
    CQNHexCoder();

    // An empty key is ignored and the previous key stays: the scrambling
    // steps cycle through the key, so it must never be empty.
    void SetKey(const std::string& key);

    // An empty text, and a text too long for 8 length digits, give an empty
    // result.
    std::string CodeValue(const std::string& text) const;

    // The text held by the coded text, or an empty text when it does not
    // unscramble to a valid frame.
    std::string DecodeValue(const std::string& coded) const;

    // The number of hex digits written for a field of the given length: as
    // many as the length needs, at least 2, at most 8.
    static int LengthWidth(uint64_t length);

    // One frame byte to two letters 'A'..'P', keyed by output position.
    // Public so that hand-built frames can be coded (the tests use it).
    std::string Scramble(const std::string& frame) const;

private:
    static constexpr int kMaxFields = 3;

    struct FieldSpan {
        uint64_t start = 0;   // frame position of the field's first byte
        uint64_t length = 0;  // as announced; may run past the frame's end
    };
    struct FrameLayout {
        int count = 0;
        FieldSpan fields[kMaxFields];
    };

    std::string Unscramble(const std::string& coded) const;
    bool IsValidFrame(const std::string& frame) const;
    // Field n (from 1) of a valid frame, cut short at the frame's end.
    std::string GetField(const std::string& frame, int fieldNumber) const;

    // Reads the header and walks the length digits of every field; false when
    // the frame is not valid.
    bool ReadLayout(const std::string& frame, FrameLayout& layout) const;
    // The character's position in the alphabet, or 0 when it is not in it.
    int Val(char c) const;
    int KeyVal(size_t position) const;

    std::string alphabet_;
    std::string key_;
};

}  // namespace flipset
