// Files beyond what any school's list holds are refused early ("文件太大"), within seconds and
// without large memory: a huge CSV, too many rows, a shared string far longer than a cell can
// hold referenced from thousands of cells, and a zip bomb.
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>

#include "BiffBuilder.h"
#include "CompoundFileBuilder.h"
#include "XlsxFixture.h"
#include "intake/PreviewReader.h"
#include "intake/ReadLimits.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

void expectTooBig(const std::string& path, const std::string& what) {
    try {
        readPreviewFile(path);
        ADD_FAILURE() << "read without complaint";
    } catch (const UserError& error) {
        const std::string message = error.what();
        EXPECT_EQ(message.rfind("文件太大: " + path, 0), 0u) << message;
        EXPECT_NE(message.find(what), std::string::npos) << message;
    }
}

std::string rowsOfCsv(int rows) {
    std::string text = "学号,姓名\n";
    for (int k = 1; k < rows; ++k) {
        text += std::to_string(k) + ",x\n";
    }
    return text;
}

TEST(ReadLimits, RefusesFilesTooBigForASchool) {
    test::TempFolder folder;

    const std::string huge = folder.file("huge.csv");
    std::ofstream{huge};
    std::filesystem::resize_file(huge, 200u << 20);  // 200 MB, sparse: never read
    expectTooBig(huge, "有 200 MB");

    const std::string manyRows = folder.file("rows.csv");
    test::writeFile(manyRows, rowsOfCsv(ReadLimits::kRows + 1));
    expectTooBig(manyRows, "超过 100000 行");

    // A shared string of 1 MB referenced from 12,000 cells.
    test::XlsxParts shared;
    shared.sharedStrings = "<si><t>" + std::string(1 << 20, 'x') + "</t></si>";
    for (int row = 1; row <= 4000; ++row) {
        shared.sheetData += "<row r=\"" + std::to_string(row) + "\">";
        for (const char* column : {"A", "B", "C"}) {
            shared.sheetData +=
                "<c r=\"" + std::string(column) + std::to_string(row) + "\" t=\"s\"><v>0</v></c>";
        }
        shared.sheetData += "</row>";
    }
    const std::string sharedPath = folder.file("shared.xlsx");
    test::writeFile(sharedPath, test::xlsxPackage(shared));
    expectTooBig(sharedPath, "第1行第A列的文字超过 32767 个字符");

    test::XlsxParts rows;
    for (int row = 1; row <= ReadLimits::kRows + 1; ++row) {
        rows.sheetData += "<row><c><v>1</v></c></row>";
    }
    const std::string rowsPath = folder.file("rows.xlsx");
    test::writeFile(rowsPath, test::xlsxPackage(rows));
    expectTooBig(rowsPath, "超过 100000 行");

    test::BiffBuilder longText;
    longText.sharedStrings({{std::u16string(40000, u'长')}});
    longText.sharedText(longText.addSheet("Sheet1"), 1, 0, 0);
    const std::string longPath = folder.file("long.xls");
    test::writeFile(longPath, test::compoundFile({{"Workbook", longText.stream()}}));
    expectTooBig(longPath, "第2行第A列的文字超过 32767 个字符");

    // The same text on a sheet that is not read (the list is the sheet the workbook opens with)
    // does not matter.
    test::BiffBuilder notesBeside;
    notesBeside.sharedStrings({{u"学号"}, {std::u16string(40000, u'长')}});
    const int list = notesBeside.addSheet("名单");
    notesBeside.sharedText(list, 0, 0, 0);
    notesBeside.number(list, 1, 0, 1001);
    notesBeside.sharedText(notesBeside.addSheet("说明"), 1, 0, 1);
    const std::string besidePath = folder.file("beside.xls");
    test::writeFile(besidePath, test::compoundFile({{"Workbook", notesBeside.stream()}}));
    EXPECT_EQ(readPreviewFile(besidePath).studentCount(), 1);
}

// Gives the bytes of a sheet's XML whose start and end enclose `blanks` blanks, without ever
// holding them in memory.
struct BlankSheet {
    std::string head = "<worksheet><sheetData>";
    std::string tail = "</sheetData></worksheet>";
    zip_uint64_t blanks;
    zip_uint64_t at = 0;

    static zip_int64_t read(void* state, void* data, zip_uint64_t length,
                            zip_source_cmd_t command) {
        auto& sheet = *static_cast<BlankSheet*>(state);
        const zip_uint64_t total = sheet.head.size() + sheet.blanks + sheet.tail.size();
        switch (command) {
            case ZIP_SOURCE_OPEN:
                sheet.at = 0;
                return 0;
            case ZIP_SOURCE_READ: {
                auto* out = static_cast<char*>(data);
                zip_uint64_t written = 0;
                for (; written < length && sheet.at < total; ++written, ++sheet.at) {
                    if (sheet.at < sheet.head.size()) {
                        out[written] = sheet.head[sheet.at];
                    } else if (sheet.at < sheet.head.size() + sheet.blanks) {
                        out[written] = ' ';
                    } else {
                        out[written] = sheet.tail[sheet.at - sheet.head.size() - sheet.blanks];
                    }
                }
                return static_cast<zip_int64_t>(written);
            }
            case ZIP_SOURCE_STAT: {
                auto* stat = static_cast<zip_stat_t*>(data);
                zip_stat_init(stat);
                stat->size = total;
                stat->valid |= ZIP_STAT_SIZE;
                return sizeof(zip_stat_t);
            }
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                      ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                      ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
            default:
                return 0;
        }
    }
};

TEST(ReadLimits, RefusesAZipBomb) {
    // A sheet that unpacks to more than ReadLimits::kPartBytes of blanks.
    test::TempFolder folder;
    const std::string path = folder.file("bomb.xlsx");
    const std::string small = test::xlsxPackage({});
    test::writeFile(path, small);
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), 0, &error);
    ASSERT_NE(archive, nullptr);
    BlankSheet sheet;
    sheet.blanks = ReadLimits::kPartBytes + 1;
    zip_source_t* source = zip_source_function(archive, BlankSheet::read, &sheet);
    const zip_int64_t entry =
        zip_file_add(archive, "xl/worksheets/sheet1.xml", source, ZIP_FL_OVERWRITE);
    ASSERT_GE(entry, 0);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(entry), ZIP_CM_DEFLATE, 1);
    ASSERT_EQ(zip_close(archive), 0);
    EXPECT_LT(std::filesystem::file_size(path), 2u << 20);
    expectTooBig(path, "xl/worksheets/sheet1.xml 解压后超过 256 MB");
}

}  // namespace
}  // namespace qm::intake
