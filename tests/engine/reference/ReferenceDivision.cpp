#include "reference/ReferenceDivision.h"

#include <climits>
#include <cmath>

#include "common/NumberText.h"
#include "db/Connection.h"
#include "store/DivisionSettings.h"

namespace qm::reference {

namespace {

const char* const kColumns[9] = {"math",  "english", "chinese", "wuli",   "zhengzhi",
                                 "lishi", "tiyu",    "dili",    "shengwu"};
const char* const kCodes[9] = {"M", "E", "C", "W", "Z", "L", "T", "D", "S"};

std::string stripTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

}  // namespace

ReferenceDivision::ReferenceDivision(db::Connection& connection, store::CurrentProject project)
    : connection_(connection), project_(std::move(project)) {}

void ReferenceDivision::iniConfig() {
    isAvgTotal_ = isAvgCh_ = isAvgMath_ = isAvgEng_ = isAvgInter_ = 0;
    const auto settings = store::loadSettings(connection_, project_.id());
    if (settings) {
        isAvgTotal_ = settings->is_avg_total == 1 ? 1 : 0;
        isAvgCh_ = settings->is_avg_ch == 1 ? 1 : 0;
        isAvgMath_ = settings->is_avg_math == 1 ? 1 : 0;
        isAvgEng_ = settings->is_avg_eng == 1 ? 1 : 0;
        isAvgInter_ = settings->is_avg_inter == 1 ? 1 : 0;
        isMan_ = settings->is_man;
        inter_ = settings->inter;
        wtNum_ = settings->wtNum.value();
    }
}

void ReferenceDivision::divide() {
    const std::string t = project_.fbTable;
    const std::string r = project_.rbTable;
    isRefb_ = false;
    fbTable_ = t;
    auto num = connection_.prepare("select * from fb_info where table_name=?");
    num.bind(1, t);
    numClass_ = static_cast<int>(num.query()[0]["num"].toInt());
    connection_.exec("update  " + t + " set class_id=0,type=0 where type<>2");
    classIds_.clear();
    for (int i = 0; i < numClass_; ++i) {
        classIds_.push_back(i + 1);
    }
    iniConfig();
    const auto types = connection_.query("select pfType from " + t +
                                         " where pfType<>''  group by pfType order by pfType");
    for (const auto row : types) {
        const std::string label = row["pfType"].toText();
        connection_.exec("delete from " + r);
        auto insert =
            connection_.prepare("insert into " + r + " select * from " + t + " where pfType=?");
        insert.bind(1, label);
        insert.execute();
        connection_.exec("update " + r + " set class_id=0,type=0 where type<>2");
        isRefb_ = false;
        fbTable_ = r;
        fbBegin();
        fbTable_ = t;
        connection_.exec("UPDATE " + t + " SET class_id =" + r + ".class_id FROM " + r + " WHERE " +
                         r + ".student_id =" + t + ".student_id");
        connection_.exec("UPDATE " + t + " SET type=3 FROM " + r + " WHERE (" + r +
                         ".student_id =" + t + ".student_id and " + t + ".type<>2)");
    }
    isRefb_ = false;
    fbBegin();
    reportUnplaced();
}

void ReferenceDivision::redivide(const std::vector<int>& chosen) {
    const std::string s = project_.fbTable;
    const std::string r = project_.rbTable;
    numClass_ = 0;
    connection_.exec("delete from " + r);
    classIds_.clear();
    std::string condition;
    for (int c : chosen) {
        condition += (numClass_ == 0 ? "" : " or class_id=") + std::to_string(c);
        numClass_ = numClass_ + 1;
        classIds_.push_back(c);
    }
    connection_.exec("insert into " + r + " select * from " + s + " where class_id=" + condition);
    connection_.exec("update " + r + " set class_id=0,type=0 where type<2");
    fbTable_ = r;
    iniConfig();
    isRefb_ = true;
    wtNum_ = 4;
    fbBegin();
    reportUnplaced();
    fbTable_ = s;
    connection_.exec("UPDATE " + s + " SET class_id =" + r + ".class_id FROM " + r + " WHERE " + r +
                     ".student_id =" + s + ".student_id");
    lines.push_back("重新分班结束");
}

ReferenceStudent* ReferenceDivision::newStudent(const db::Row& row, int placeType) {
    ReferenceStudent& student = students_.emplace_back();
    student.studentId = static_cast<int>(row["student_id"].toInt());
    student.studentName = row["student_name"].toText();
    student.adjusted = 0;
    student.sex = stripTrailingBlanks(row["sex"].toText());
    student.placeType = placeType;
    student.pingyin = stripTrailingBlanks(row["pingyin"].toText());
    std::array<double, 9> scores{};
    for (int s = 0; s < 9; ++s) {
        scores[s] = row[kColumns[s]].toDouble();
    }
    student.setScores(scores);
    return &student;
}

void ReferenceDivision::fbBegin() {
    classes_.assign(static_cast<std::size_t>(numClass_), ReferenceTally{});
    for (auto& tally : classes_) {
        tally.inter = inter_;
    }
    students_.clear();
    const auto rows = connection_.query("select * from " + fbTable_ +
                                        " where type=2 or type=3 order by student_id");
    for (const auto row : rows) {
        ReferenceStudent* student = newStudent(row, 2);
        for (int i = 0; i < numClass_; ++i) {
            if (classIds_[i] == row["class_id"].toInt()) {
                classes_[i].addStudent(student);
                break;
            }
        }
    }
    if (isMan_ == 1) {
        lines.push_back("对男的进行分");
        distbByType("男");
        lines.push_back("男的结束");
        lines.push_back("对女的进行分");
        distbByType("女");
        lines.push_back("女的结束");
    } else {
        lines.push_back("对女的进行分");
        distbByType("女");
        lines.push_back("女的结束");
        lines.push_back("对男的进行分");
        distbByType("男");
        lines.push_back("男的结束");
    }
    lines.push_back("正在刷新数据.....");
    showGrid();
    lines.push_back("更新结束");
}

void ReferenceDivision::distbByType(const std::string& sex) {
    auto query = connection_.prepare(
        "select  * from  " + fbTable_ +
        " where type=0 and trim(sex)=? order by "
        "math+english+chinese+wuli+zhengzhi+lishi+tiyu+dili+shengwu desc, student_id");
    query.bind(1, sex);
    for (const auto row : query.query()) {
        ReferenceStudent* student = newStudent(row, 0);
        const int k = findMixClass(trimmed(sex), *student);
        classes_[k].addStudent(student);
    }
    auto mark = connection_.prepare("update " + fbTable_ +
                                    " set type=1 where  student_id in(select  student_id from   " +
                                    fbTable_ + " where type=0 and trim(sex)=?)");
    mark.bind(1, sex);
    mark.execute();
    for (long long i = 0; i <= wtNum_; ++i) {
        inchingDist();
    }
    lines.push_back("微调结束");
}

int ReferenceDivision::findMixClass(const std::string& sex, const ReferenceStudent& student) const {
    bool avoid = true;
    for (;;) {
        int bestSex = INT_MAX;
        int bestBand = INT_MAX;
        int result = 0;
        int conflicts = 0;
        for (int c = 0; c < numClass_; ++c) {
            int s = classes_[c].sexCount(sex);
            if (avoid && classes_[c].hasPingyin(student.pingyin)) {
                s = 10000;
                conflicts = conflicts + 1;
            }
            if (s > bestSex) {
                continue;
            }
            if (s < bestSex) {
                bestBand = INT_MAX;
            }
            bestSex = s;
            const int sum = classes_[c].bandCount("M", student.scores[0]) +
                            classes_[c].bandCount("C", student.scores[2]) +
                            classes_[c].bandCount("E", student.scores[1]) +
                            classes_[c].bandCount("W", student.scores[3]) +
                            classes_[c].bandCount("Z", student.scores[4]) +
                            classes_[c].bandCount("L", student.scores[5]) +
                            classes_[c].bandCount("T", student.scores[6]) +
                            classes_[c].bandCount("D", student.scores[7]) +
                            classes_[c].bandCount("S", student.scores[8]);
            if (sum < bestBand) {
                result = c;
                bestBand = sum;
            }
        }
        if (conflicts == numClass_ && avoid) {
            avoid = false;
            continue;
        }
        return result;
    }
}

// Deviations in the order math, english, chinese, wuli, zhengzhi, lishi, tiyu, dili, shengwu,
// total: cohort average minus class average.
void ReferenceDivision::deviations(const ReferenceTally& tally, double out[10]) const {
    for (int s = 0; s < 9; ++s) {
        out[s] = cohort_[s] - tally.average(kCodes[s]);
    }
    out[9] = cohort_[9] - tally.average("TOTAL");
}

int ReferenceDivision::bandScore(const ReferenceTally& tally, const ReferenceStudent& leaving,
                                 const ReferenceStudent& entering) const {
    int score = 0;
    const int order[9] = {0, 2, 1, 3, 4, 5, 6, 7, 8};  // M, C, E, W, Z, L, T, D, S
    for (int s : order) {
        score += tally.bandSwapTest(kCodes[s], targets_[s], leaving.scores[s], entering.scores[s]);
    }
    return score;
}

bool ReferenceDivision::classTest(const double before[10], const double after[10],
                                  int bandScore) const {
    bool total = true;
    if (isAvgTotal_ == 1) {
        total = std::fabs(before[9]) >= std::fabs(after[9]);
    }
    double gain = 0;
    if (isAvgCh_ == 1) {
        gain += std::fabs(before[2]) - std::fabs(after[2]);
    }
    if (isAvgMath_ == 1) {
        gain += std::fabs(before[0]) - std::fabs(after[0]);
    }
    if (isAvgEng_ == 1) {
        gain += std::fabs(before[1]) - std::fabs(after[1]);
    }
    for (int s = 3; s < 9; ++s) {
        gain += std::fabs(before[s]) - std::fabs(after[s]);
    }
    const bool bands = isAvgInter_ != 1 || bandScore >= 0;
    return total && gain >= 0 && bands;
}

void ReferenceDivision::inchingDist() {
    int swaps = 0;
    int requalified = 0;
    const auto averages = connection_.query(
        "select avg(math) as avg_math,avg(english) as avg_english,  avg(chinese) as "
        "avg_chinese,avg(wuli) as avg_wuli,avg(zhengzhi) as avg_zhengzhi,avg(lishi) as "
        "avg_lishi,avg(tiyu) as avg_tiyu,avg(dili) as avg_dili,avg(shengwu) as "
        "avg_shengwu,avg(math+english+chinese+wuli+zhengzhi+lishi+tiyu+dili+shengwu) as "
        "avg_total  from " +
        fbTable_ + " where  type>=1");
    if (averages.size() != 1 || averages[0]["avg_math"].isNull()) {
        return;
    }
    const char* names[10] = {"avg_math",     "avg_english", "avg_chinese", "avg_wuli",
                             "avg_zhengzhi", "avg_lishi",   "avg_tiyu",    "avg_dili",
                             "avg_shengwu",  "avg_total"};
    for (int q = 0; q < 10; ++q) {
        cohort_[q] = static_cast<int>(roundHalfEven(averages[0][names[q]].toDouble()));
    }
    for (auto& t : targets_) {
        t.fill(0);
    }
    const int order[9] = {0, 2, 1, 3, 4, 5, 6, 7, 8};
    for (int s : order) {
        const std::string col = kColumns[s];
        auto bands = connection_.prepare("SELECT cint(fdiv(Count(*),?)) AS s_num ,score_band(" +
                                         col + ") as s_index FROM " + fbTable_ +
                                         " where type>=1 Group By score_band(" + col + ")");
        bands.bind(1, numClass_);
        for (const auto row : bands.query()) {
            const long long index = row["s_index"].toInt();
            if (index >= 0 && index <= 1000) {
                targets_[s][static_cast<std::size_t>(index)] =
                    static_cast<int>(row["s_num"].toInt());
            }
        }
    }
    for (int i = 0; i < numClass_; ++i) {
        ReferenceTally& ci = classes_[i];
        for (int k = 0; k < ci.count; ++k) {
            if (ci.students[k]->adjusted != 0 || ci.students[k]->placeType >= 2) {
                continue;
            }
            for (int j = 0; j < numClass_; ++j) {
                if (j == i) {
                    continue;
                }
                ReferenceTally& cj = classes_[j];
                for (int l = 0; l < cj.count; ++l) {
                    ReferenceStudent* a = ci.students[k];
                    ReferenceStudent* b = cj.students[l];
                    if (b->sex != a->sex || b->placeType >= 2 || a->sameScores(*b)) {
                        continue;
                    }
                    double beforeI[10];
                    double beforeJ[10];
                    deviations(ci, beforeI);
                    deviations(cj, beforeJ);
                    const bool needJ = a->adjusted == 1 || isRefb_;
                    const int bandI = bandScore(ci, *a, *b);
                    const int bandJ = needJ ? bandScore(cj, *b, *a) : 0;
                    ci.students[k] = b;
                    cj.students[l] = a;
                    if (ci.hasOtherPingyin(b->studentId, b->pingyin) ||
                        cj.hasOtherPingyin(a->studentId, a->pingyin)) {
                        ci.students[k] = a;
                        cj.students[l] = b;
                        continue;
                    }
                    double afterI[10];
                    deviations(ci, afterI);
                    const bool passI = classTest(beforeI, afterI, bandI);
                    bool refused = false;
                    if (needJ) {
                        double afterJ[10];
                        deviations(cj, afterJ);
                        if (classTest(beforeJ, afterJ, bandJ)) {
                            requalified = requalified + 1;
                        } else {
                            refused = true;
                        }
                    }
                    if (passI && !refused) {
                        swaps = swaps + 1;
                        a->adjusted = 1;
                        b->adjusted = 1;
                    } else {
                        ci.students[k] = a;
                        cj.students[l] = b;
                    }
                }
            }
        }
    }
    for (auto& tally : classes_) {
        for (ReferenceStudent* student : tally.students) {
            student->adjusted = 0;
        }
    }
    lines.push_back("微调替换" + std::to_string(swaps) + "人，" +
                    "已经调整过的学生再符合替换条件有" + std::to_string(requalified) + "人次");
}

void ReferenceDivision::showGrid() {
    for (int i = 0; i < numClass_; ++i) {
        for (const ReferenceStudent* student : classes_[i].students) {
            auto update =
                connection_.prepare("update " + fbTable_ + " set class_id=? where student_id=?");
            update.bind(1, classIds_[i]).bind(2, student->studentId);
            update.execute();
        }
    }
}

void ReferenceDivision::reportUnplaced() {
    int n = 0;
    for (const auto row : connection_.query("select sex, class_id, type from " + fbTable_)) {
        const std::string sex = trimmed(row["sex"].toText());
        if (!row["type"].isNull() && row["type"].toInt() != 2 && !row["class_id"].isNull() &&
            row["class_id"].toInt() == 0 && sex != "男" && sex != "女") {
            n = n + 1;
        }
    }
    if (n > 0) {
        lines.push_back("有" + std::to_string(n) + "名学生的性别既不是“男”也不是“女”，未分班");
    }
}

}  // namespace qm::reference
