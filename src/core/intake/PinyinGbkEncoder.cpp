#include "intake/PinyinGbkEncoder.h"

#include "common/TextConverter.h"

namespace qm::intake {

std::optional<std::string> GbkEncoder::encode(std::string_view utf8Character) const {
    auto gbk = utf8ToGbk(utf8Character);
    if (gbk && gbk->empty()) {
        return std::nullopt;  // nothing to look up
    }
    return gbk;
}

}  // namespace qm::intake
