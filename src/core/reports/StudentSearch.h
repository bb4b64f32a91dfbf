#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::reports {

// A student as the search box of the result window looks at him.
struct SearchableStudent {
    int studentId = 0;
    std::string name;
    std::string pinyin;  // as stored: syllables in upper case separated by blanks, "ZHANG SAN"
};

// Whether a student is one the teacher looks for with this text, blanks around it ignored:
// - digits only: the student number starts with them ("10" finds 1001 and 1002);
// - otherwise a part of the name, blanks inside names and text ignored ("杰霞" finds "卢 杰霞");
// - Latin letters only, case ignored, also the start of the pinyin's initials ("zs" finds
//   ZHANG SAN) or of the pinyin written without blanks ("zhangs").
// Empty text finds nobody.
bool matchesSearch(const SearchableStudent& student, std::string_view text);

// The numbers of the students of a student table that the text finds, those whose number is
// the text itself first, then in the order of the result grid (class, then student number).
std::vector<int> searchStudents(db::Connection& connection, const std::string& table,
                                std::string_view text);

}  // namespace qm::reports
