#include "engine/RunStages.h"

#include <algorithm>

#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "engine/common/RunSettings.h"
#include "store/StudentTable.h"

namespace qm::engine {

namespace {

// The sexes in the order a pass places them.
std::vector<std::string> sexesInOrder(db::Connection& connection,
                                      const store::CurrentProject& project) {
    const auto order = sexOrder(loadRunSettings(connection, project));
    return {order.begin(), order.end()};
}

// The students of each sex that match the condition on the table, one stage per sex.
void addStages(db::Connection& connection, const std::string& table, const std::string& stage,
               const std::vector<std::string>& sexes, const std::string& condition,
               const std::vector<db::Value>& values, std::vector<RunStage>& stages) {
    auto count = connection.prepare("select count(*) from " + table + " where (" + condition +
                                    ") and trim(sex)=?");
    for (const std::string& sex : sexes) {
        int index = 1;
        for (const db::Value& value : values) {
            count.bind(index++, value);
        }
        count.bind(index, sex);
        stages.push_back({stage, sex, static_cast<int>(count.query()[0][0].toInt())});
    }
}

}  // namespace

std::vector<RunStage> divisionStages(db::Connection& connection,
                                     const store::CurrentProject& project) {
    const std::string& table = store::checkedTableName(project.fbTable);
    const auto sexes = sexesInOrder(connection, project);
    std::vector<RunStage> stages;
    // The categories as the run finds them; the fixed students of a category stay where they
    // are.
    const std::string notFixed = "type<>" + store::placeCode(store::kFixed);
    for (const std::string& label : categoryLabels(connection, table)) {
        addStages(connection, table, label, sexes, notFixed + " and pfType=?", {db::Value(label)},
                  stages);
    }
    addStages(connection, table, "", sexes, notFixed + " and (pfType is null or pfType='')", {},
              stages);
    return stages;
}

std::vector<RunStage> redivisionStages(db::Connection& connection,
                                       const store::CurrentProject& project,
                                       const std::vector<int>& classes) {
    const std::string& table = store::checkedTableName(project.fbTable);
    std::string inClasses = "0";
    std::vector<db::Value> values;
    for (int classId : classes) {
        inClasses += " or class_id=?";
        values.emplace_back(static_cast<std::int64_t>(classId));
    }
    std::vector<RunStage> stages;
    // Fixed students and those of the category stage keep their classes.
    addStages(connection, table, "重新分班", sexesInOrder(connection, project),
              "type<" + store::placeCode(store::kFixed) + " and (" + inClasses + ")", values,
              stages);
    return stages;
}

namespace {

int countStudents(db::Connection& connection, const store::CurrentProject& project,
                  const std::string& condition) {
    const std::string& table = store::checkedTableName(project.fbTable);
    return static_cast<int>(
        connection.query("select count(*) from " + table + " where " + condition)[0][0].toInt());
}

}  // namespace

int studentsPlacedByEarlierRun(db::Connection& connection, const store::CurrentProject& project) {
    return countStudents(connection, project,
                         "class_id<>0 and type<>" + store::placeCode(store::kFixed));
}

int studentsInClasses(db::Connection& connection, const store::CurrentProject& project) {
    return countStudents(connection, project, "class_id<>0");
}

std::size_t stageOf(const std::vector<RunStage>& stages, std::size_t from,
                    const DivisionProgress& progress) {
    for (std::size_t i = from; i < stages.size(); ++i) {
        if (stages[i].stage == progress.stage && stages[i].sex == progress.sex) {
            return i;
        }
    }
    return stages.empty() ? 0 : stages.size() - 1;
}

double shareDone(const std::vector<RunStage>& stages, std::size_t index,
                 const DivisionProgress& progress) {
    if (stages.empty()) {
        return 0;
    }
    index = std::min(index, stages.size() - 1);
    long long total = 0;
    long long before = 0;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        total += stages[i].students;
        before += i < index ? stages[i].students : 0;
    }
    const bool byStudents = total > 0;
    const double weight = byStudents ? stages[index].students : 1.0;
    const double all = byStudents ? static_cast<double>(total) : static_cast<double>(stages.size());
    const double done = byStudents ? static_cast<double>(before) : static_cast<double>(index);
    const double withinStage = progress.tuningPasses > 0
                                   ? static_cast<double>(progress.tuningPass) /
                                         static_cast<double>(progress.tuningPasses + 1)
                                   : 0.0;
    return std::clamp((done + weight * withinStage) / all, 0.0, 1.0);
}

}  // namespace qm::engine
