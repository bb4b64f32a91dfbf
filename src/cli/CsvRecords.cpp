#include "CsvRecords.h"

#include "common/UserError.h"

namespace qm::cli {

std::string csvRecord(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        const std::string& field = fields[i];
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line += '"';
        for (char c : field) {
            line += c;
            if (c == '"') {
                line += '"';
            }
        }
        line += '"';
    }
    return line + "\r\n";
}

std::vector<std::vector<std::string>> parseCsv(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    std::size_t i = 0;
    auto fail = [&](const std::string& what) {
        throw UserError("CSV 第" + std::to_string(records.size() + 1) + "行: " + what);
    };
    while (i < text.size()) {
        if (text[i] == '"' && field.empty()) {
            // A quoted field runs to the next quote that is not doubled.
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    fail("引号没有结束");
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                fail("引号后面只能是逗号或换行");
            }
            continue;
        }
        const char c = text[i];
        if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (c == '\r' || c == '\n') {
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        } else {
            field += c;
            ++i;
        }
    }
    if (!field.empty() || !record.empty()) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace qm::cli
