#include "store/GroupList.h"

#include <map>

#include "common/NumberText.h"
#include "db/Connection.h"
#include "store/GroupCheck.h"
#include "store/GroupStore.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::store {

std::vector<GroupListing> listGroups(db::Connection& connection, const CurrentProject& project) {
    const std::string& table = checkedTableName(project.fbTable);
    std::map<int, std::string> names;
    for (const auto row : connection.query("select student_id,student_name from " + table)) {
        names[static_cast<int>(row["student_id"].toInt())] = trimmed(row["student_name"].toText());
    }
    const ClassOfStudent classes = readClasses(connection, table);
    std::vector<GroupListing> listing;
    for (StudentGroup& group : loadGroups(connection, project.id())) {
        std::string members;
        std::vector<GroupMemberListing> students;
        for (int student : group.members) {
            const auto name = names.find(student);
            const auto seat = classes.find(student);
            members += (members.empty() ? "" : "、") + std::to_string(student);
            if (name == names.end()) {
                members += "（不在项目中）";
                students.push_back({student, std::nullopt, 0});
            } else {
                if (!name->second.empty()) {
                    members += " " + name->second;
                }
                students.push_back({student, name->second, seat->second});
            }
        }
        auto broken = whyBroken(group, classes);
        listing.push_back(
            {std::move(group), std::move(members), std::move(students), std::move(broken)});
    }
    return listing;
}

}  // namespace qm::store
