#include "UnicodeText.h"

#include "common/Utf8.h"

namespace qm::intake {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(unsigned unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// True when every byte is printable ASCII, a tab or a line end: nothing to replace.
bool isPlainAscii(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isXmlCharacter(char32_t code) {
    if (code < 0x20) {
        return code == '\t' || code == '\n' || code == '\r';
    }
    return !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF &&
           code <= 0x10FFFF;
}

void appendXmlCharacter(std::string& out, char32_t code) {
    appendUtf8(out, static_cast<unsigned>(isXmlCharacter(code) ? code : kReplacement));
}

void Utf16Appender::add(unsigned unit) {
    if (pendingHigh_ != 0) {
        const unsigned high = pendingHigh_;
        pendingHigh_ = 0;
        if (isLowSurrogate(unit)) {
            appendXmlCharacter(out_, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
            return;
        }
        appendXmlCharacter(out_, kReplacement);
    }
    if (isHighSurrogate(unit)) {
        pendingHigh_ = unit;
        return;
    }
    appendXmlCharacter(out_, unit);
}

void Utf16Appender::addUtf8(std::string_view text) {
    finish();
    out_ += text;
}

void Utf16Appender::finish() {
    if (pendingHigh_ != 0) {
        pendingHigh_ = 0;
        appendXmlCharacter(out_, kReplacement);
    }
}

std::string xmlSafeText(std::string text) {
    if (isPlainAscii(text)) {
        return text;
    }
    std::string out;
    out.reserve(text.size());
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t length = utf8CharacterLength(rest);
        const std::string_view character = rest.substr(0, length);
        rest.remove_prefix(length);
        if (!isValidUtf8(character)) {
            appendXmlCharacter(out, kReplacement);
        } else if (const char32_t code = utf8CodePoint(character); !isXmlCharacter(code)) {
            appendXmlCharacter(out, kReplacement);
        } else {
            out += character;
        }
    }
    return out;
}

}  // namespace qm::intake
