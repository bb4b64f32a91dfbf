#include "engine/division/DivisionPass.h"

#include <algorithm>
#include <cmath>

#include "common/NumberText.h"
#include "db/Connection.h"
#include "engine/division/ArrangementHistory.h"
#include "engine/division/ClassChoice.h"
#include "engine/division/CohortFigures.h"
#include "engine/division/FineTuner.h"
#include "store/Limits.h"
#include "store/StudentTable.h"

namespace qm::engine {

namespace {

// The total of the nine scores, as the placement order sorts by it.
const char* const kTotalOrder = "math+english+chinese+wuli+zhengzhi+lishi+tiyu+dili+shengwu";

std::string notPlaced() {
    return store::placeCode(store::kNotPlaced);
}

// Fixed-width texts compare without their trailing blanks, so they are dropped on loading.
std::string withoutTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

int keyOf(std::unordered_map<std::string, int>& keys, const std::string& text) {
    return keys.try_emplace(text, static_cast<int>(keys.size())).first->second;
}

std::string tuningLine(const TuningCounts& counts) {
    return "微调替换" + std::to_string(counts.swaps) + "人，已经调整过的学生再符合替换条件有" +
           std::to_string(counts.requalified) + "人次";
}

}  // namespace

DivisionPass::DivisionPass(db::Connection& connection, const std::string& table,
                           std::vector<int> classIds, const RunSettings& settings,
                           std::string stage, DivisionObserver& observer, const GroupPlan& groups)
    : connection_(connection),
      table_(store::checkedTableName(table)),
      classIds_(std::move(classIds)),
      settings_(settings),
      stage_(std::move(stage)),
      observer_(observer),
      groups_(groups) {}

void DivisionPass::run() {
    classes_.assign(classIds_.size(), ClassTally{});
    for (auto& tally : classes_) {
        tally.inter = settings_.inter;
    }
    if (!groups_.empty()) {
        seating_.emplace(groups_, classes_);
    }
    loadPlacedStudents();
    if (seating_ && table_ != groups_.projectTable()) {
        loadOutsideMembers();
    }
    for (const std::string sex : sexOrder(settings_)) {
        say("对" + sex + "的进行分");
        placeSex(sex);
        say(sex + "的结束");
    }
    say("正在刷新数据.....");
    writeBack();
    say("更新结束");
}

void DivisionPass::loadPlacedStudents() {
    const std::string fixed = store::placeCode(store::kFixed);
    const std::string category = store::placeCode(store::kCategory);
    const auto rows = connection_.query("select * from " + table_ + " where type=" + fixed +
                                        " or type=" + category + " order by student_id");
    for (const auto row : rows) {
        PassStudent& student = newStudent(row, 2);
        const auto classId = row["class_id"].toInt();
        for (std::size_t i = 0; i < classIds_.size(); ++i) {
            if (classIds_[i] == classId) {
                join(student, static_cast<int>(i));
                break;
            }
        }
    }
}

// Group members placed in the project's table but not in this pass's (fixed students and the
// members of categories divided before, while a category is divided in the twin): their groups
// count in the classes they sit in.
void DivisionPass::loadOutsideMembers() {
    const auto rows =
        connection_.query("select student_id,class_id from " + groups_.projectTable() +
                          " where (type=" + store::placeCode(store::kFixed) +
                          " or type=" + store::placeCode(store::kCategory) +
                          ") and student_id not in(select student_id from " + table_ + ")");
    for (const auto row : rows) {
        const int studentId = static_cast<int>(row["student_id"].toInt());
        const auto& classId = row["class_id"];
        if (!groups_.isMember(studentId) || classId.isNull()) {
            continue;
        }
        const auto tally = std::find(classIds_.begin(), classIds_.end(), classId.toInt());
        if (tally != classIds_.end()) {
            seating_->sitsOutside(studentId, static_cast<int>(tally - classIds_.begin()));
        }
    }
}

void DivisionPass::placeSex(const std::string& sex) {
    report(sex, 0);
    auto select =
        connection_.prepare("select * from " + table_ + " where type=" + notPlaced() +
                            " and trim(sex)=? order by " + kTotalOrder + " desc, student_id");
    select.bind(1, sex);
    for (const auto row : select.query()) {
        stopIfCancelled();
        if (seating_ && seating_->hasJoined(static_cast<int>(row["student_id"].toInt()))) {
            continue;  // placed with its 同班 group
        }
        PassStudent& student = newStudent(row, 0);
        if (seating_) {
            placeWithGroups(sex, student);
        } else {
            classes_[findMixClass(sex, classes_, student)].addStudent(&student);
        }
    }
    auto mark =
        connection_.prepare("update " + table_ + " set type=" + store::placeCode(store::kPlaced) +
                            " where student_id in(select student_id from " + table_ +
                            " where type=" + notPlaced() + " and trim(sex)=?)");
    mark.bind(1, sex);
    mark.execute();
    tune(sex);
    say("微调结束");
}

// A student of a 同班 group that has a class joins it; any other student joins the class the
// rules choose among those without a 分开 partner of its own or of its 同班 group. The other
// members of its 同班 group that wait in this table join the same class at once, whatever
// their sex.
void DivisionPass::placeWithGroups(const std::string& sex, PassStudent& student) {
    auto c = seating_->classOfGroup(student.studentId);
    if (!c) {
        c = findMixClassAmong(sex, classes_, student, seating_->allowedClasses(student.studentId));
    }
    if (!c) {
        c = findMixClass(sex, classes_, student);  // no class is free of a partner: reported
    }
    join(student, *c);
    const auto mates = seating_->waitingMates(student.studentId);
    if (mates.empty()) {
        return;
    }
    auto select = connection_.prepare("select * from " + table_ +
                                      " where student_id=? and type=" + notPlaced());
    for (int mate : mates) {
        select.bind(1, mate);
        for (const auto row : select.query()) {
            join(newStudent(row, 0), *c);
        }
    }
}

void DivisionPass::join(PassStudent& student, int c) {
    classes_[c].addStudent(&student);
    if (seating_) {
        seating_->joined(student.studentId, c);
    }
}

void DivisionPass::tune(const std::string& sex) {
    const long long passes = tuningPasses();
    if (passes <= 0) {
        return;
    }
    const auto figures = loadCohortFigures(connection_, table_, static_cast<int>(classIds_.size()));
    if (!figures) {
        return;  // nothing placed yet: every pass ends before it starts
    }
    TuningRules rules;
    rules.avgTotal = settings_.avgTotal;
    rules.avgChinese = settings_.avgChinese;
    rules.avgMath = settings_.avgMath;
    rules.avgEnglish = settings_.avgEnglish;
    rules.avgBands = settings_.avgBands;
    rules.isRefb = settings_.isRefb;
    rules.keepGroups = seating_.has_value();
    FineTuner tuner(classes_, rules, *figures);
    ArrangementHistory history(classes_);
    for (long long pass = 1; pass <= passes; ++pass) {
        report(sex, static_cast<int>(pass));
        const TuningCounts counts = tuner.runPass([this] { stopIfCancelled(); });
        say(tuningLine(counts));
        const auto earlier = history.record(classes_, counts);
        if (!earlier) {
            continue;
        }
        // The classes stand as they stood after pass `earlier`: the passes since then repeat
        // for the rest of the run, with the same exchanges and the same console lines.
        const long long period = pass - *earlier;
        for (long long later = pass + 1; later <= passes; ++later) {
            report(sex, static_cast<int>(later));
            say(tuningLine(history.countsOf(
                static_cast<int>(*earlier + (later - 1 - *earlier) % period + 1))));
        }
        history.restore(static_cast<int>(*earlier + (passes - *earlier) % period), classes_);
        break;
    }
}

void DivisionPass::writeBack() {
    auto update = connection_.prepare("update " + table_ + " set class_id=? where student_id=?");
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        for (const PassStudent* student : classes_[i].students) {
            update.bind(1, classIds_[i]).bind(2, student->studentId);
            update.execute();
        }
    }
}

PassStudent& DivisionPass::newStudent(const db::Row& row, int placeType) {
    PassStudent& student = students_.emplace_back();
    student.setInfo(static_cast<int>(row["student_id"].toInt()), row["student_name"].toText(), 0,
                    withoutTrailingBlanks(row["sex"].toText()), placeType,
                    withoutTrailingBlanks(row["pingyin"].toText()));
    std::array<double, kSubjectCount> scores{};
    for (int s = 0; s < kSubjectCount; ++s) {
        scores[s] = row[store::kScoreColumns[s]].toDouble();
        if (!(std::fabs(scores[s]) <= store::kLargestScore)) {
            throw UserError("学号 " + std::to_string(student.studentId) + " 的成绩 " +
                            numberText(scores[s]) + " 超出范围，无法分班");
        }
    }
    student.setScores(scores[0], scores[1], scores[2], scores[3], scores[4], scores[5], scores[6],
                      scores[7], scores[8]);
    student.sexKey = keyOf(sexKeys_, student.sex);
    student.pinyinKey = keyOf(pinyinKeys_, student.pinyin);
    if (seating_) {
        seating_->mark(student);
    }
    return student;
}

void DivisionPass::say(const std::string& line) {
    observer_.consoleLine(line);
}

// A re-division fine-tunes five times per sex whatever the settings say.
long long DivisionPass::tuningPasses() const {
    return settings_.isRefb ? 5 : settings_.tuningPasses;
}

void DivisionPass::report(const std::string& sex, int pass) {
    DivisionProgress progress;
    progress.stage = stage_;
    progress.sex = sex;
    progress.tuningPass = pass;
    progress.tuningPasses = static_cast<int>(std::max(0LL, tuningPasses()));
    observer_.progress(progress);
}

void DivisionPass::stopIfCancelled() {
    if (observer_.cancelRequested()) {
        throw DivisionCancelled();
    }
}

}  // namespace qm::engine
