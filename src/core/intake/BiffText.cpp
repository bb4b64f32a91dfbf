#include "BiffText.h"

#include "UnicodeText.h"
#include "common/TextConverter.h"
#include "common/Utf8.h"

namespace qm::intake {

BiffText::BiffText(bool biff8) : biff8_(biff8) {}

void BiffText::setCodePage(unsigned codePage) {
    codePage_ = codePage;
}

bool BiffText::read(BiffContinuedData& data, int countBytes, std::string& out, CutShort cutShort) {
    unsigned count = 0;
    if (countBytes == 1 ? !data.u8(count) : !data.u16(count)) {
        return false;
    }
    if (biff8_) {
        return readUnicode(data, count, out, cutShort);
    }
    std::string bytes;
    bytes.reserve(count);
    for (unsigned k = 0; k < count; ++k) {
        unsigned byte = 0;
        if (!data.u8(byte)) {
            if (cutShort == CutShort::Refused) {
                return false;
            }
            break;
        }
        bytes += static_cast<char>(byte);
    }
    out = decodeBytes(bytes);
    return true;
}

bool BiffText::readUnicode(BiffContinuedData& data, std::size_t count, std::string& out,
                           CutShort cutShort) const {
    unsigned flags = 0;
    unsigned runs = 0;
    std::uint32_t phoneticBytes = 0;
    if (!data.u8(flags) || ((flags & 0x08) != 0 && !data.u16(runs)) ||
        ((flags & 0x04) != 0 && !data.u32(phoneticBytes))) {
        return false;
    }
    out.clear();
    bool whole = false;
    {
        // The characters read stay in `out` when the data end before the last one.
        Utf16Appender text(out);
        whole = data.characters(count, (flags & 0x01) != 0, text);
    }
    if (!whole) {
        return cutShort == CutShort::Read;
    }
    // Rich-text runs (4 bytes each) and phonetic data follow the characters.
    return (data.skip(std::size_t{runs} * 4) && data.skip(phoneticBytes)) ||
           cutShort == CutShort::Read;
}

std::string BiffText::decodeBytes(std::string_view bytes) const {
    bool ascii = true;
    for (const char c : bytes) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        return xmlSafeText(bytes);
    }
    if (auto converted = codePageToUtf8(codePage_, bytes)) {
        return xmlSafeText(*converted);
    }
    // A code page the program does not know, or bytes not valid in it: each byte as the
    // character of the same number (Latin-1), so that nothing is lost silently.
    std::string latin1;
    for (const char c : bytes) {
        appendXmlCharacter(latin1, static_cast<unsigned char>(c));
    }
    return latin1;
}

}  // namespace qm::intake
