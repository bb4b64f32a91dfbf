#include "engine/groups/DivisionGroups.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "common/NumberText.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "store/GroupCheck.h"
#include "store/GroupStore.h"
#include "store/StudentTable.h"

namespace qm::engine {

namespace {

// Where a division leaves a student of the project's table.
struct Seat {
    bool placeable = false;  // sex 男 or 女: the division can place it
    std::optional<int> fixedClass;
    std::string fixedText;  // "固定在 3班", for messages
};

// Checks the groups of one division; collects a message for every group it cannot keep.
class GroupFeasibility {
  public:
    GroupFeasibility(std::unordered_map<int, Seat> seats, const std::vector<int>& classes)
        : seats_(std::move(seats)), classes_(classes.begin(), classes.end()) {
        int inDivision = 0;
        for (const auto& [student, seat] : seats_) {
            inDivision += endsInDivision(seat.fixedClass, seat.placeable) ? 1 : 0;
        }
        const int classCount = static_cast<int>(classes_.size());
        capacity_ = (inDivision + classCount - 1) / classCount;
    }

    void checkTogether(const store::StudentGroup& group) {
        const std::string title = store::groupTitle(group);
        if (static_cast<int>(group.members.size()) > capacity_) {
            problems_.push_back(title + ": 有 " + std::to_string(group.members.size()) +
                                " 名学生，多于一个班的人数（约 " + std::to_string(capacity_) +
                                " 人）");
        }
        std::map<int, std::vector<int>> fixedByClass;
        std::vector<int> movable;
        for (int student : group.members) {
            const Seat& seat = seats_.at(student);
            if (seat.fixedClass) {
                fixedByClass[*seat.fixedClass].push_back(student);
            } else if (!seat.placeable) {
                problems_.push_back(title + ": " + store::studentNumbers({student}) +
                                    " 的性别既不是“男”也不是“女”，分不到班，无法与同组同学同班");
            } else {
                movable.push_back(student);
            }
        }
        if (fixedByClass.size() > 1) {
            std::string where;
            for (const auto& [classId, members] : fixedByClass) {
                where += (where.empty() ? "" : "，") + store::studentNumbers(members) + " " +
                         seats_.at(members.front()).fixedText;
            }
            problems_.push_back(title + ": " + where + "，无法同班");
        } else if (fixedByClass.size() == 1) {
            const auto& [classId, members] = *fixedByClass.begin();
            if (!movable.empty() && classes_.count(classId) == 0) {
                problems_.push_back(title + ": " + store::studentNumbers(members) + " " +
                                    seats_.at(members.front()).fixedText + "，" +
                                    store::studentNumbers(movable) + " 无法与之同班");
            }
            for (int student : group.members) {
                togetherClass_[student] = classId;
            }
        }
    }

    void checkApart(const store::StudentGroup& group) {
        const std::string title = store::groupTitle(group);
        int inDivision = 0;
        std::map<int, std::vector<int>> fixedByClass;
        for (int student : group.members) {
            const Seat& seat = seats_.at(student);
            auto fixedClass = seat.fixedClass;
            if (const auto found = togetherClass_.find(student); found != togetherClass_.end()) {
                fixedClass = found->second;
            }
            if (endsInDivision(fixedClass, seat.placeable)) {
                ++inDivision;
                if (fixedClass) {
                    fixedByClass[*fixedClass].push_back(student);
                }
            }
        }
        if (inDivision > static_cast<int>(classes_.size())) {
            problems_.push_back(title + ": 有 " + std::to_string(inDivision) + " 名学生要分到 " +
                                std::to_string(classes_.size()) + " 个班，无法都不同班");
        }
        for (const auto& [classId, members] : fixedByClass) {
            if (members.size() > 1) {
                problems_.push_back(title + ": " + store::studentNumbers(members) + " 都只能在 " +
                                    store::classTitle(classId));
            }
        }
    }

    std::vector<std::string>& problems() { return problems_; }

  private:
    // Whether the student sits in one of the division's classes afterwards.
    bool endsInDivision(const std::optional<int>& fixedClass, bool placeable) const {
        return fixedClass ? classes_.count(*fixedClass) != 0 : placeable;
    }

    std::unordered_map<int, Seat> seats_;
    std::set<int> classes_;
    int capacity_ = 0;
    std::unordered_map<int, int> togetherClass_;  // members of 同班 groups with a fixed member
    std::vector<std::string> problems_;
};

std::unordered_map<int, Seat> readSeats(db::Connection& connection, const std::string& table,
                                        const std::vector<int>& classes, bool redivision) {
    std::unordered_map<int, Seat> seats;
    for (const auto row : connection.query("select student_id,sex,type,class_id from " + table)) {
        Seat seat;
        const std::string sex = trimmed(row["sex"].toText());
        seat.placeable = sex == "男" || sex == "女";
        const int type = row["type"].isNull() ? 0 : static_cast<int>(row["type"].toInt());
        const int classId = store::classNumber(row["class_id"]);
        const std::string inClass = std::to_string(classId) + "班";
        const bool inDivision = std::find(classes.begin(), classes.end(), classId) != classes.end();
        if (redivision && !inDivision) {
            seat.fixedClass = classId;
            seat.fixedText = "在 " + inClass + "（不参加重新分班）";
        } else if (type == store::kFixed || (redivision && type == store::kCategory)) {
            seat.fixedClass = classId;
            seat.fixedText = "固定在 " + inClass + (inDivision ? "" : "（不在分班的班级中）");
        }
        seats[static_cast<int>(row["student_id"].toInt())] = std::move(seat);
    }
    return seats;
}

}  // namespace

GroupPlan planGroups(db::Connection& connection, const store::CurrentProject& project,
                     const std::vector<int>& classes, bool redivision) {
    const std::string& table = store::checkedTableName(project.fbTable);
    const auto stored = store::loadGroups(connection, project.id());
    if (stored.empty() || classes.empty()) {
        return {};
    }
    auto seats = readSeats(connection, table, classes, redivision);
    store::ClassOfStudent present;
    for (const auto& [student, seat] : seats) {
        present[student] = 0;
    }
    const auto groups = store::groupsAmong(stored, present);
    std::vector<std::string> problems = store::contradictions(groups);
    if (problems.empty()) {
        GroupFeasibility feasibility(std::move(seats), classes);
        for (const auto& group : groups) {
            if (group.kind == store::GroupKind::Together) {
                feasibility.checkTogether(group);
            }
        }
        for (const auto& group : groups) {
            if (group.kind == store::GroupKind::Apart) {
                feasibility.checkApart(group);
            }
        }
        problems = std::move(feasibility.problems());
    }
    if (!problems.empty()) {
        std::string message =
            redivision ? "下列约束无法满足，没有重新分班:" : "下列约束无法满足，没有分班:";
        for (const std::string& problem : problems) {
            message += "\n" + problem;
        }
        throw UserError(message);
    }
    return GroupPlan(groups, table);
}

GroupPlan projectGroups(db::Connection& connection, const store::CurrentProject& project) {
    const std::string& table = store::checkedTableName(project.fbTable);
    const auto stored = store::loadGroups(connection, project.id());
    if (stored.empty()) {
        return {};
    }
    return GroupPlan(store::groupsAmong(stored, store::readClasses(connection, table)), table);
}

void reportUnkeptGroups(db::Connection& connection, const store::CurrentProject& project,
                        DivisionObserver& observer) {
    const auto groups = store::loadGroups(connection, project.id());
    if (groups.empty()) {
        return;
    }
    const auto classes = store::readClasses(connection, project.fbTable);
    std::vector<std::string> broken;
    for (const auto& group : groups) {
        if (auto reason = store::whyBroken(group, classes)) {
            broken.push_back(std::move(*reason));
        }
    }
    if (broken.empty()) {
        observer.consoleLine("约束共 " + std::to_string(groups.size()) + " 组，全部遵守");
        return;
    }
    observer.consoleLine("未能遵守的约束 " + std::to_string(broken.size()) + " 组:");
    for (const std::string& reason : broken) {
        observer.consoleLine("  " + reason);
    }
}

}  // namespace qm::engine
