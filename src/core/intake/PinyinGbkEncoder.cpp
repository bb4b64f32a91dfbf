#include "intake/PinyinGbkEncoder.h"

namespace qm::intake {

std::optional<std::string> GbkEncoder::encode(std::string_view utf8Character) {
    auto gbk = toGbk_.convert(utf8Character);
    if (gbk && gbk->empty()) {
        return std::nullopt;  // nothing to look up
    }
    return gbk;
}

}  // namespace qm::intake
