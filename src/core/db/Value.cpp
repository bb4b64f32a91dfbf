#include "db/Value.h"

#include <cmath>

#include "common/NumberText.h"
#include "db/DbError.h"

namespace qm::db {

std::int64_t Value::toInt() const {
    switch (kind()) {
        case Kind::Null:
            throw DbError("值为空(NULL)，无法转换为整数");
        case Kind::Integer:
            return std::get<std::int64_t>(data_);
        case Kind::Real:
            return static_cast<std::int64_t>(roundHalfEven(std::get<double>(data_)));
        case Kind::Text: {
            const auto& text = std::get<std::string>(data_);
            if (auto whole = parseWholeNumber(text)) {
                return *whole;
            }
            if (auto number = parseNumber(text)) {
                return static_cast<std::int64_t>(roundHalfEven(*number));
            }
            throw DbError("'" + text + "' 不是有效的整数");
        }
    }
    return 0;
}

double Value::toDouble() const {
    switch (kind()) {
        case Kind::Null:
            throw DbError("值为空(NULL)，无法转换为数字");
        case Kind::Integer:
            return static_cast<double>(std::get<std::int64_t>(data_));
        case Kind::Real:
            return std::get<double>(data_);
        case Kind::Text: {
            const auto& text = std::get<std::string>(data_);
            if (auto number = parseNumber(text)) {
                return *number;
            }
            throw DbError("'" + text + "' 不是有效的数字");
        }
    }
    return 0.0;
}

std::string Value::toText() const {
    switch (kind()) {
        case Kind::Null:
            return {};
        case Kind::Integer:
            return std::to_string(std::get<std::int64_t>(data_));
        case Kind::Real:
            return numberText(std::get<double>(data_));
        case Kind::Text:
            return std::get<std::string>(data_);
    }
    return {};
}

}  // namespace qm::db
