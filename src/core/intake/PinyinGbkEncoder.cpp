#include "intake/PinyinGbkEncoder.h"

#include <iconv.h>

#include <stdexcept>

namespace qm::intake {

namespace {

iconv_t toIconv(void* handle) {
    return static_cast<iconv_t>(handle);
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

GbkEncoder::GbkEncoder() : handle_(iconv_open("GBK", "UTF-8")) {
    if (handle_ == reinterpret_cast<void*>(-1)) {
        throw std::runtime_error("iconv cannot convert UTF-8 to GBK");
    }
}

GbkEncoder::~GbkEncoder() {
    iconv_close(toIconv(handle_));
}

std::optional<std::string> GbkEncoder::encode(std::string_view utf8Character) {
    std::string in(utf8Character);
    char out[8];
    char* inPtr = in.data();
    char* outPtr = out;
    std::size_t inLeft = in.size();
    std::size_t outLeft = sizeof out;
    iconv(toIconv(handle_), nullptr, nullptr, nullptr, nullptr);  // fresh state every time
    const std::size_t rc = iconv(toIconv(handle_), &inPtr, &inLeft, &outPtr, &outLeft);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || outPtr == out) {
        return std::nullopt;
    }
    return std::string(out, static_cast<std::size_t>(outPtr - out));
}

std::size_t utf8CharacterLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 1;
    if (length > text.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(static_cast<unsigned char>(text[k]))) {
            return 1;
        }
    }
    return length;
}

}  // namespace qm::intake
