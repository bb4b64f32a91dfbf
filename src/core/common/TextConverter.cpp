#include "common/TextConverter.h"

#include <iconv.h>

#include <cerrno>

#include <stdexcept>

namespace qm {

namespace {

iconv_t toIconv(void* handle) {
    return static_cast<iconv_t>(handle);
}

}  // namespace

TextConverter::TextConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<void*>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
}

TextConverter::~TextConverter() {
    iconv_close(toIconv(handle_));
}

std::optional<std::string> TextConverter::convert(std::string_view text) {
    iconv(toIconv(handle_), nullptr, nullptr, nullptr, nullptr);  // a fresh state every time
    std::string result;
    char buffer[4096];
    auto* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t status = iconv(toIconv(handle_), &in, &inLeft, &out, &outLeft);
        result.append(buffer, sizeof buffer - outLeft);
        if (status == static_cast<std::size_t>(-1) && errno != E2BIG) {
            return std::nullopt;  // EILSEQ or EINVAL: bytes the conversion cannot take
        }
    }
    // A stateful conversion (such as CP1258, which waits for a combining mark after each
    // letter) still holds its last character: flush it.
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(toIconv(handle_), nullptr, nullptr, &out, &outLeft);
    result.append(buffer, sizeof buffer - outLeft);
    return result;
}

std::optional<std::string> gbkToUtf8(std::string_view bytes) {
    return TextConverter("UTF-8", "GB18030").convert(bytes);
}

}  // namespace qm
