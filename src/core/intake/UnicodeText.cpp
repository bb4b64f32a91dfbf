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

}  // namespace

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

}  // namespace qm::intake
