#include "reports/StudentSearch.h"

#include <algorithm>

#include "common/NumberText.h"
#include "db/Connection.h"
#include "reports/StudentQuery.h"

namespace qm::reports {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLatinLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool allOf(std::string_view text, bool (*test)(char)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), test);
}

// Blanks inside a name are typing slips (卢 杰霞 for 卢杰霞): ASCII blanks and the full-width
// blank U+3000.
std::string withoutBlanks(std::string_view text) {
    static constexpr std::string_view kWideBlank = "\xE3\x80\x80";
    std::string kept;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, kWideBlank.size()) == kWideBlank) {
            i += kWideBlank.size() - 1;
        } else if (text[i] != ' ' && text[i] != '\t') {
            kept += text[i];
        }
    }
    return kept;
}

std::string upperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

// The first letter of each syllable of a stored pinyin text: "ZHANG SAN" gives "ZS".
std::string initials(std::string_view pinyin) {
    std::string letters;
    bool atStart = true;
    for (char c : pinyin) {
        if (c == ' ') {
            atStart = true;
        } else if (atStart) {
            letters += c;
            atStart = false;
        }
    }
    return letters;
}

}  // namespace

bool matchesSearch(const SearchableStudent& student, std::string_view text) {
    const std::string typed = trimmed(text);
    if (typed.empty()) {
        return false;
    }
    if (allOf(typed, isDigit)) {
        return std::to_string(student.studentId).starts_with(typed);
    }
    if (withoutBlanks(student.name).find(withoutBlanks(typed)) != std::string::npos) {
        return true;
    }
    if (!allOf(typed, isLatinLetter)) {
        return false;
    }
    const std::string letters = upperCase(typed);
    const std::string pinyin = upperCase(student.pinyin);
    return initials(pinyin).starts_with(letters) || withoutBlanks(pinyin).starts_with(letters);
}

std::vector<int> searchStudents(db::Connection& connection, const std::string& table,
                                std::string_view text) {
    const std::string typed = trimmed(text);
    std::vector<int> exact;
    std::vector<int> found;
    for (const auto row : allStudents(connection, table)) {
        const SearchableStudent student{static_cast<int>(row["student_id"].toInt()),
                                        row["student_name"].toText(), row["pingyin"].toText()};
        if (matchesSearch(student, typed)) {
            (std::to_string(student.studentId) == typed ? exact : found)
                .push_back(student.studentId);
        }
    }
    exact.insert(exact.end(), found.begin(), found.end());
    return exact;
}

}  // namespace qm::reports
