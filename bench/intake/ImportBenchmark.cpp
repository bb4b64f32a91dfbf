// Time to store a preview of 5,000 students: emptying the table, the checks and the pinyin of
// every row, one insert per row, all in one transaction committed to a real database file with
// full synchronisation.
#include <benchmark/benchmark.h>
#include <string>

#include "db/Connection.h"
#include "intake/ImportSave.h"
#include "intake/Pinyin.h"
#include "store/ProjectStore.h"
#include "store/Schema.h"
#include "support/TempDatabase.h"

namespace {

constexpr int kStudents = 5000;

// Names of two or three characters drawn from common surnames and given-name characters.
std::string nameOf(int k) {
    static const char* const kSurnames[] = {"张", "王", "李", "赵", "刘",
                                            "陈", "杨", "黄", "吴", "周"};
    static const char* const kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强",
                                         "磊", "军", "洋", "勇", "艳", "杰", "娟",
                                         "涛", "明", "超", "秀", "霞", "平"};
    std::string name = kSurnames[k % 10];
    name += kGiven[(k / 10) % 20];
    if (k % 3 != 0) {
        name += kGiven[(k / 200) % 20];
    }
    return name;
}

qm::intake::PreviewGrid preview() {
    qm::intake::PreviewGrid grid;
    for (int k = 1; k <= kStudents + 1; ++k) {
        qm::intake::PreviewGrid::Row row;
        row[0] = std::to_string(k);
        const bool trailingBlank = k > kStudents;
        row[1] = trailingBlank ? "" : std::to_string(20240000 + k);
        row[2] = trailingBlank ? "" : std::to_string(k);
        row[3] = trailingBlank ? "" : nameOf(k);
        row[4] = trailingBlank ? "" : (k % 2 ? "男" : "女");
        for (int c = 5; c <= 13; ++c) {
            row[static_cast<std::size_t>(c)] =
                trailingBlank ? "0" : std::to_string(40 + (k * 7 + c * 13) % 60) + ".5";
        }
        row[14] = trailingBlank ? "" : "第一中学";
        row[15] = trailingBlank ? "" : "河西路" + std::to_string(k % 300) + "号";
        row[16] = (!trailingBlank && k % 250 == 0) ? std::to_string(k % 12 + 1) : "";
        row[17] = (!trailingBlank && k % 40 == 0) ? "艺术" : "";
        grid.rows.push_back(row);
    }
    return grid;
}

void BM_SaveFiveThousandRows(benchmark::State& state) {
    qm::test::TempFolder folder;
    qm::db::Connection connection(folder.file("fb.db"));
    qm::store::ensureSchema(connection);
    const auto project = qm::store::createProject(connection, "benchmark", 12);
    const auto grid = preview();
    for (auto _ : state) {
        const auto outcome = qm::intake::saveImportedRows(connection, project, grid);
        if (outcome.rowsStored != kStudents) {
            state.SkipWithError(outcome.message.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kStudents);
}
BENCHMARK(BM_SaveFiveThousandRows)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_NamePinyin(benchmark::State& state) {
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm::intake::namePinyin(nameOf(++k)));
    }
}
BENCHMARK(BM_NamePinyin);

}  // namespace
