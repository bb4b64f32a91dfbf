#include "common/Utf8.h"

namespace qm {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length a lead byte announces; 0 for a byte that cannot start a character.
std::size_t announcedLength(unsigned char lead) {
    return lead < 0x80                   ? 1
           : lead >= 0xC2 && lead < 0xE0 ? 2
           : lead >= 0xE0 && lead < 0xF0 ? 3
           : lead >= 0xF0 && lead < 0xF5 ? 4
                                         : 0;
}

constexpr unsigned kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t code) {
    return code >= 0xD800 && code <= 0xDBFF;
}

bool isLowSurrogate(char32_t code) {
    return code >= 0xDC00 && code <= 0xDFFF;
}

bool isOverlong(std::size_t length, char32_t code) {
    return (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
}

}  // namespace

std::size_t utf8CharacterLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const std::size_t length = announcedLength(static_cast<unsigned char>(text[0]));
    if (length == 0 || length > text.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(static_cast<unsigned char>(text[k]))) {
            return 1;
        }
    }
    return length;
}

char32_t utf8CodePoint(std::string_view text) {
    const std::size_t length = utf8CharacterLength(text);
    if (length == 0) {
        return 0;
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    char32_t code = length == 1 ? lead : lead & (0x3Fu >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
        code = (code << 6) | (static_cast<unsigned char>(text[k]) & 0x3Fu);
    }
    return code;
}

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t length = utf8CharacterLength(bytes);
        if (length != announcedLength(static_cast<unsigned char>(bytes[0]))) {
            return false;  // a byte that starts nothing, or a sequence cut short
        }
        const char32_t code = utf8CodePoint(bytes);
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        if (overlong || surrogate || code > 0x10FFFF) {
            return false;
        }
        bytes.remove_prefix(length);
    }
    return true;
}

std::size_t utf8CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) {
        count += isContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
    }
    return count;
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isXmlCharacter(char32_t code) {
    if (code < 0x20) {
        return code == '\t' || code == '\n' || code == '\r';
    }
    return !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF &&
           code <= 0x10FFFF;
}

std::string xmlSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = utf8CharacterLength(text);
        const bool startsNothing = length == 1 && static_cast<unsigned char>(text[0]) >= 0x80;
        char32_t code = startsNothing ? kReplacement : utf8CodePoint(text);
        std::size_t taken = length;
        if (isHighSurrogate(code) && text.size() > length) {
            const std::string_view rest = text.substr(length);
            const char32_t low = utf8CodePoint(rest);
            if (utf8CharacterLength(rest) == 3 && isLowSurrogate(low)) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                taken += 3;
            }
        }
        if (isOverlong(length, code) || !isXmlCharacter(code)) {
            code = kReplacement;
        }
        appendUtf8(out, static_cast<unsigned>(code));
        text.remove_prefix(taken);
    }
    return out;
}

std::string_view utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t k = 0; k < count && end < text.size(); ++k) {
        end += utf8CharacterLength(text.substr(end));
    }
    return text.substr(0, end);
}

namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

// The length of the blank at the start (or the end) of the text; 0 when there is none.
std::size_t blankLength(std::string_view text, bool atEnd = false) {
    if (text.empty()) {
        return 0;
    }
    if (static_cast<unsigned char>(atEnd ? text.back() : text.front()) <= ' ') {
        return 1;
    }
    const bool ideographic =
        atEnd ? text.ends_with(kIdeographicSpace) : text.starts_with(kIdeographicSpace);
    return ideographic ? kIdeographicSpace.size() : 0;
}

}  // namespace

std::string trimmedBlanks(std::string_view text) {
    while (const std::size_t blank = blankLength(text)) {
        text.remove_prefix(blank);
    }
    while (const std::size_t blank = blankLength(text, true)) {
        text.remove_suffix(blank);
    }
    return std::string(text);
}

std::string withoutBlanks(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t blank = blankLength(text);
        const std::size_t taken = blank > 0 ? blank : utf8CharacterLength(text);
        if (blank == 0) {
            out.append(text.substr(0, taken));
        }
        text.remove_prefix(taken);
    }
    return out;
}

}  // namespace qm
