#pragma once

#include <string>

namespace qm::db {
class Connection;
}

namespace qm::test {

// A school's intake as 深度优化 is measured on: students with a common ability and subject
// noise (a third of the subjects scored to one decimal), half boys, 3% fixed to a class, 10% in
// one of two categories, names drawn from a small pool of syllables so that some read the same.
struct SchoolCohort {
    int students = 400;
    int classes = 8;
    int subjects = 9;  // the first this many subjects in table order are taken
    int seed = 0;      // another seed gives another intake of the same shape
};

// Inserts the cohort into a student table in one transaction; the same cohort every time.
void insertSchoolCohort(db::Connection& connection, const std::string& table,
                        const SchoolCohort& cohort);

}  // namespace qm::test
