// Reading a large import file into the preview grid: 20,000 students as .xlsx and as .csv,
// written once into a temporary folder (the .xlsx with libxlsxwriter), and the sample .xls.
// Target bench_read_preview; run by hand.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <fstream>
#include <string>

#include "intake/PreviewGrid.h"
#include "intake/PreviewReader.h"
#include "support/TempDatabase.h"

namespace {

constexpr int kStudents = 20000;

struct LargeFiles {
    qm::test::TempFolder folder;
    std::string xlsx = folder.file("students.xlsx");
    std::string csv = folder.file("students.csv");

    LargeFiles() {
        lxw_workbook* book = workbook_new(xlsx.c_str());
        lxw_worksheet* sheet = workbook_add_worksheet(book, "学生");
        std::ofstream text(csv);
        for (int column = 0; column < 17; ++column) {
            const std::string& title = qm::intake::kImportTitles[static_cast<std::size_t>(column)];
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(column), title.c_str(),
                                   nullptr);
            text << (column ? "," : "") << title;
        }
        text << "\n";
        for (int i = 0; i < kStudents; ++i) {
            const auto row = static_cast<lxw_row_t>(i + 1);
            const std::string name = "学生" + std::to_string(i);
            const std::string sex = i % 2 ? "女" : "男";
            worksheet_write_number(sheet, row, 0, 20240001 + i, nullptr);
            worksheet_write_string(sheet, row, 1, ("K" + std::to_string(i)).c_str(), nullptr);
            worksheet_write_string(sheet, row, 2, name.c_str(), nullptr);
            worksheet_write_string(sheet, row, 3, sex.c_str(), nullptr);
            text << 20240001 + i << ",K" << i << "," << name << "," << sex;
            for (int subject = 0; subject < 9; ++subject) {
                const double score = 40 + (i * 7 + subject * 13) % 60 + (i % 4 == 0 ? 0.5 : 0.0);
                worksheet_write_number(sheet, row, static_cast<lxw_col_t>(4 + subject), score,
                                       nullptr);
                text << "," << score;
            }
            worksheet_write_string(sheet, row, 13, "实验小学", nullptr);
            worksheet_write_string(sheet, row, 14, "人民路1号", nullptr);
            text << ",实验小学,人民路1号,,\n";
        }
        workbook_close(book);
    }
};

const LargeFiles& largeFiles() {
    static const LargeFiles files;
    return files;
}

void readFile(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        const auto grid = qm::intake::readPreviewFile(path);
        benchmark::DoNotOptimize(grid.rows.data());
        state.counters["students"] = grid.studentCount();
    }
}

void BM_ReadXlsx20000(benchmark::State& state) {
    readFile(state, largeFiles().xlsx);
}
void BM_ReadCsv20000(benchmark::State& state) {
    readFile(state, largeFiles().csv);
}
void BM_ReadSampleXls(benchmark::State& state) {
    readFile(state, std::string(QUILLMERE_SAMPLE_DIR) + "/分班数据输入样例.xls");
}

BENCHMARK(BM_ReadXlsx20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCsv20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSampleXls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
