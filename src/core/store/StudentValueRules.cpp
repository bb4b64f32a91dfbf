#include "store/StudentValueRules.h"

#include <cmath>

#include "common/NumberText.h"
#include "common/Utf8.h"
#include "store/Limits.h"
#include "store/StudentTable.h"

namespace qm::store {

std::optional<std::string> textTooLong(std::string_view column, std::string_view heading,
                                       std::string_view text) {
    const auto width = static_cast<std::size_t>(textColumnWidth(column));
    const std::string_view unpadded = text.substr(0, text.find_last_not_of(' ') + 1);
    const std::size_t length = utf8CharacterCount(unpadded);
    if (width == 0 || length <= width) {
        return std::nullopt;
    }
    return std::string(heading) + "最多" + std::to_string(width) + "个字，这里有" +
           std::to_string(length) + "个字";
}

std::optional<std::string> scoreOutOfRange(std::string_view heading, double score) {
    if (std::fabs(score) <= kLargestScore) {
        return std::nullopt;
    }
    return std::string(heading) + "「" + numberText(score) + "」超出范围，分数必须在" +
           numberText(-kLargestScore) + "到" + numberText(kLargestScore) + "之间";
}

std::optional<std::string> classOutsideProject(std::string_view heading, int classId,
                                               int classCount, bool notPlacedAllowed) {
    const int lowest = notPlacedAllowed ? 0 : 1;
    if (classId >= lowest && classId <= classCount) {
        return std::nullopt;
    }
    return std::string(heading) + "「" + std::to_string(classId) +
           "」不是本项目的班级，班级号必须在" + std::to_string(lowest) + "到" +
           std::to_string(classCount) + "之间" + (notPlacedAllowed ? "（0表示未分班）" : "");
}

std::string pinyinForColumn(std::string_view pinyin) {
    return std::string(utf8Prefix(pinyin, static_cast<std::size_t>(textColumnWidth("pingyin"))));
}

}  // namespace qm::store
