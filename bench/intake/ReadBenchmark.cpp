// Reading import files into the preview: 5,000 and 50,000 students as .xls, .xlsx and .csv,
// written once into a temporary folder (the .xlsx with libxlsxwriter, the .xls record by record
// with the tests' BIFF writer), and the sample .xls. Besides the time, each run reports the peak
// memory the read took (resident memory above what the process held before) against the file's
// size, measured in a fresh process of this program ("--peak-memory FILE"), so that memory freed
// by earlier runs does not hide it. Target bench_read_preview; run by hand.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "BiffBuilder.h"
#include "CompoundFileBuilder.h"
#include "intake/PreviewGrid.h"
#include "intake/PreviewReader.h"
#include "support/TempDatabase.h"

namespace {

// One student's 17 cells: numbers for 学号 and the scores, texts for the rest.
struct Student {
    double id;
    std::string record, name, sex;
    double scores[9];
    std::string school, address;
};

Student student(int i) {
    Student s{20240001.0 + i,
              "K" + std::to_string(i),
              "学生" + std::to_string(i),
              i % 2 ? "女" : "男",
              {},
              "实验小学",
              "城关镇和平街" + std::to_string(i % 300) + "号"};
    for (int subject = 0; subject < 9; ++subject) {
        s.scores[subject] = 40 + (i * 7 + subject * 13) % 60 + (i % 4 == 0 ? 0.5 : 0.0);
    }
    return s;
}

void writeXlsx(const std::string& path, int students) {
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "学生");
    for (int column = 0; column < 17; ++column) {
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(column),
                               qm::intake::kImportTitles[static_cast<std::size_t>(column)].c_str(),
                               nullptr);
    }
    for (int i = 0; i < students; ++i) {
        const Student s = student(i);
        const auto row = static_cast<lxw_row_t>(i + 1);
        worksheet_write_number(sheet, row, 0, s.id, nullptr);
        worksheet_write_string(sheet, row, 1, s.record.c_str(), nullptr);
        worksheet_write_string(sheet, row, 2, s.name.c_str(), nullptr);
        worksheet_write_string(sheet, row, 3, s.sex.c_str(), nullptr);
        for (int subject = 0; subject < 9; ++subject) {
            worksheet_write_number(sheet, row, static_cast<lxw_col_t>(4 + subject),
                                   s.scores[subject], nullptr);
        }
        worksheet_write_string(sheet, row, 13, s.school.c_str(), nullptr);
        worksheet_write_string(sheet, row, 14, s.address.c_str(), nullptr);
    }
    workbook_close(book);
}

void writeCsv(const std::string& path, int students) {
    std::ofstream text(path);
    for (int column = 0; column < 17; ++column) {
        text << (column ? "," : "") << qm::intake::kImportTitles[static_cast<std::size_t>(column)];
    }
    text << "\n";
    for (int i = 0; i < students; ++i) {
        const Student s = student(i);
        text << static_cast<long>(s.id) << "," << s.record << "," << s.name << "," << s.sex;
        for (const double score : s.scores) {
            text << "," << score;
        }
        text << "," << s.school << "," << s.address << ",,\n";
    }
}

// UTF-8 to the UTF-16 the .xls writer takes (the texts here are of the Basic Multilingual Plane).
std::u16string utf16(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
        char16_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
        for (std::size_t k = 1; k < length; ++k) {
            code = static_cast<char16_t>((code << 6) | (text[i + k] & 0x3F));
        }
        out += code;
        i += length;
    }
    return out;
}

void writeXls(const std::string& path, int students) {
    qm::test::BiffBuilder book;
    const int sheet = book.addSheet("Students");
    std::vector<qm::test::BiffBuilder::SharedString> strings;
    std::map<std::string, std::uint32_t> index;
    const auto text = [&](int row, int column, const std::string& value) {
        const auto [place, added] =
            index.emplace(value, static_cast<std::uint32_t>(strings.size()));
        if (added) {
            strings.push_back({utf16(value)});
        }
        book.sharedText(sheet, row, column, place->second);
    };
    for (int column = 0; column < 17; ++column) {
        text(0, column, qm::intake::kImportTitles[static_cast<std::size_t>(column)]);
    }
    for (int i = 0; i < students; ++i) {
        const Student s = student(i);
        book.number(sheet, i + 1, 0, s.id);
        text(i + 1, 1, s.record);
        text(i + 1, 2, s.name);
        text(i + 1, 3, s.sex);
        for (int subject = 0; subject < 9; ++subject) {
            book.number(sheet, i + 1, 4 + subject, s.scores[subject]);
        }
        text(i + 1, 13, s.school);
        text(i + 1, 14, s.address);
    }
    book.sharedStrings(strings);  // a global record: written before the sheet all the same
    std::ofstream(path, std::ios::binary) << qm::test::compoundFile({{"Workbook", book.stream()}});
}

struct LargeFiles {
    qm::test::TempFolder folder;

    LargeFiles() {
        for (const int students : {5000, 50000}) {
            writeXlsx(path(students, ".xlsx"), students);
            writeCsv(path(students, ".csv"), students);
            writeXls(path(students, ".xls"), students);
        }
    }
    std::string path(int students, const std::string& extension) const {
        return folder.file("students" + std::to_string(students) + extension);
    }
};

const LargeFiles& largeFiles() {
    static const LargeFiles files;
    return files;
}

// A value of /proc/self/status in kB, such as VmRSS or VmHWM.
long statusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":")) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return 0;
}

// The peak memory of reading the file in this process, in MB: the resident memory at its
// highest, less what the process held before. A small workbook of the same kind is read first,
// so that the libraries' code, loaded once, is not counted as memory of the read.
double peakMemoryOfRead(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension != ".csv") {
        qm::intake::readPreviewFile(std::string(QUILLMERE_SAMPLE_DIR) + "/分班数据输入样例" +
                                    extension);
    }
    const long before = statusKb("VmRSS");
    const auto grid = qm::intake::readPreviewFile(path);
    benchmark::DoNotOptimize(grid.rows.data());
    return static_cast<double>(statusKb("VmHWM") - before) / 1024.0;
}

std::string self;  // this program, for measuring memory in a fresh process

void readFile(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        const auto grid = qm::intake::readPreviewFile(path);
        benchmark::DoNotOptimize(grid.rows.data());
        state.counters["students"] = grid.studentCount();
    }
    double peakMb = 0.0;
    if (FILE* child = popen(("'" + self + "' --peak-memory '" + path + "'").c_str(), "r")) {
        if (std::fscanf(child, "%lf", &peakMb) != 1) {
            peakMb = -1.0;
        }
        pclose(child);
    }
    const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    state.counters["file_MB"] = fileMb;
    state.counters["peak_MB"] = peakMb;
    state.counters["peak_per_file"] = peakMb / fileMb;
}

void BM_Read(benchmark::State& state, int students, const char* extension) {
    readFile(state, largeFiles().path(students, extension));
}

BENCHMARK_CAPTURE(BM_Read, xls_5000, 5000, ".xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, xlsx_5000, 5000, ".xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, csv_5000, 5000, ".csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, xls_50000, 50000, ".xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, xlsx_50000, 50000, ".xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, csv_50000, 50000, ".csv")->Unit(benchmark::kMillisecond);

void BM_ReadSampleXls(benchmark::State& state) {
    readFile(state, std::string(QUILLMERE_SAMPLE_DIR) + "/分班数据输入样例.xls");
}
BENCHMARK(BM_ReadSampleXls)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--peak-memory") {
        std::printf("%.2f\n", peakMemoryOfRead(argv[2]));
        return 0;
    }
    self = std::filesystem::canonical("/proc/self/exe").string();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
