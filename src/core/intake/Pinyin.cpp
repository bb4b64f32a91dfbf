#include "intake/Pinyin.h"

#include "common/Utf8.h"
#include "intake/PinyinDictionary.h"
#include "intake/PinyinGbkEncoder.h"

namespace qm::intake {

namespace {

constexpr unsigned char kFirstLeadByte = 0x81;
constexpr unsigned char kFirstTrailByte = 0x40;
constexpr unsigned char kNumberedSymbolRow = 0xA2;
constexpr unsigned char kFullWidthAsciiRow = 0xA3;
constexpr unsigned char kGreekRow = 0xA6;
constexpr std::size_t kMaxSyllableLetters = 6;
constexpr int kNamePinyinMaxLength = 255;

bool isAsciiLetterOrDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(unsigned char c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

void appendUpper(std::string& out, std::string_view text) {
    for (char c : text) {
        out += upper(static_cast<unsigned char>(c));
    }
}

// What a double-byte character gives.
void convertDoubleByte(unsigned char lead, unsigned char trail, int flags, std::string& out) {
    const bool markUnknown = (flags & kPinyinMarkUnknown) != 0;
    const auto noReading = [&] {
        if (markUnknown) {
            out += '?';
        }
    };
    switch (lead) {
        case kNumberedSymbolRow:
            if (trail >= 0xA1) {
                out += numberOfRowA2(trail);
            } else {
                noReading();
            }
            return;
        case kFullWidthAsciiRow: {
            // Full-width ASCII: the trail byte is the ASCII code shifted by 0x80 (trail 0xA1 to
            // 0xFE hold 0x21 to 0x7E). Every trail byte of the row is taken that way, so a place
            // outside that range gives a byte that is no letter or digit: dropped, or passed
            // through with flag 4, never "?".
            const auto ascii = static_cast<unsigned char>(trail - 0x80);
            if ((flags & kPinyinKeepOthers) != 0 || isAsciiLetterOrDigit(ascii)) {
                out += static_cast<char>(ascii);  // small letters stay small
            }
            return;
        }
        case kGreekRow: {
            const std::string_view latin = latinOfGreek(trail);
            if (latin.empty()) {
                noReading();
            } else {
                appendUpper(out, latin);
            }
            return;
        }
        default: {
            const std::string_view syllable = syllableOfGbk(lead, trail);
            if (syllable.empty()) {
                noReading();
            } else if ((flags & kPinyinWholeSyllable) != 0) {
                appendUpper(out, syllable.substr(0, kMaxSyllableLetters));
            } else {
                appendUpper(out, syllable.substr(0, 1));
            }
            return;
        }
    }
}

}  // namespace

std::string getPingyin(std::string_view gbkText, int flags, int maxLength) {
    std::string out;
    if (flags < 0) {
        return out;
    }
    std::size_t i = 0;
    while (i < gbkText.size()) {
        const auto byte = static_cast<unsigned char>(gbkText[i]);
        // At the last byte the following byte counts as 0.
        const unsigned char next =
            i + 1 < gbkText.size() ? static_cast<unsigned char>(gbkText[i + 1]) : 0;
        if (byte < kFirstLeadByte || next < kFirstTrailByte) {
            if ((flags & kPinyinKeepOthers) != 0 || isAsciiLetterOrDigit(byte)) {
                out += upper(byte);
            }
            i += 1;
        } else {
            convertDoubleByte(byte, next, flags, out);
            i += 2;
        }
    }
    if (maxLength <= 0) {
        return {};
    }
    if (out.size() > static_cast<std::size_t>(maxLength)) {
        out.resize(static_cast<std::size_t>(maxLength));
    }
    return out;
}

std::string namePinyin(std::string_view utf8Name) {
    thread_local GbkEncoder encoder;
    std::string joined;
    while (!utf8Name.empty()) {
        const std::size_t length = utf8CharacterLength(utf8Name);
        const auto gbk = encoder.encode(utf8Name.substr(0, length));
        utf8Name.remove_prefix(length);
        const std::string reading =
            gbk ? getPingyin(*gbk, kPinyinWholeSyllable, kNamePinyinMaxLength) : std::string();
        // Characters before the first reading add nothing; after it, each adds a blank and its
        // reading, even an empty one.
        if (!joined.empty()) {
            joined += ' ';
        }
        joined += reading;
    }
    return joined;
}

}  // namespace qm::intake
