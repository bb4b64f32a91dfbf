#include "store/StudentValueRules.h"

#include <algorithm>
#include <cmath>

#include "common/NumberText.h"
#include "common/Utf8.h"
#include "store/Limits.h"
#include "store/StudentTable.h"

namespace qm::store {

std::optional<std::string> textTooLong(std::string_view column, std::string_view heading,
                                       std::string_view text) {
    const auto width = static_cast<std::size_t>(textColumnWidth(column));
    const std::size_t length = utf8CharacterCount(withoutPadding(text));
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

namespace {

bool isScoreColumn(std::string_view column) {
    return std::find(kScoreColumns.begin(), kScoreColumns.end(), column) != kScoreColumns.end();
}

std::string notA(std::string_view heading, std::string_view text, std::string_view what) {
    return std::string(heading) + "「" + std::string(text) + "」不是" + std::string(what);
}

// A whole-number column (学号, 班级, 类型): the number, or the reason it is none.
std::variant<db::Value, std::string> wholeNumber(std::string_view heading, std::string_view text) {
    if (const auto number = parseWholeNumber(text)) {
        return db::Value(*number);
    }
    return notA(heading, text, "整数");
}

std::variant<db::Value, std::string> placementValue(std::string_view column,
                                                    std::string_view heading, std::string_view text,
                                                    int classCount) {
    auto number = wholeNumber(heading, text);
    const auto* value = std::get_if<db::Value>(&number);
    if (value == nullptr) {
        return number;
    }
    const int code = static_cast<int>(value->toInt());
    if (column == "class_id") {
        if (auto outside = classOutsideProject(heading, code, classCount, true)) {
            return *outside;
        }
    } else if (code < kNotPlaced || code > kCategory) {
        return std::string(heading) + "「" + std::string(text) + "」不是放置类型，" +
               std::string(heading) + "必须在" + std::to_string(kNotPlaced) + "到" +
               std::to_string(kCategory) + "之间";
    }
    return number;
}

std::variant<db::Value, std::string> scoreValue(std::string_view heading, std::string_view text) {
    const auto score = parseNumber(text);
    if (!score) {
        return notA(heading, text, "数字");
    }
    if (auto outside = scoreOutOfRange(heading, *score)) {
        return *outside;
    }
    return db::Value(*score);
}

}  // namespace

std::variant<db::Value, std::string> studentValue(std::string_view column, std::string_view heading,
                                                  std::string_view text, int classCount) {
    if (column == "student_id") {
        return wholeNumber(heading, text);
    }
    if (column == "class_id" || column == "type") {
        return placementValue(column, heading, text, classCount);
    }
    if (isScoreColumn(column)) {
        return scoreValue(heading, text);
    }
    if (column == "sex" && text != "男" && text != "女") {
        return std::string(heading) + "「" + std::string(text) + "」只能是男或女";
    }
    if (textColumnWidth(column) > 0) {
        if (auto tooLong = textTooLong(column, heading, text)) {
            return *tooLong;
        }
        return db::Value(std::string(text));
    }
    return "学生表没有这一列: " + std::string(column);
}

std::string pinyinForColumn(std::string_view pinyin) {
    return std::string(utf8Prefix(pinyin, static_cast<std::size_t>(textColumnWidth("pingyin"))));
}

}  // namespace qm::store
