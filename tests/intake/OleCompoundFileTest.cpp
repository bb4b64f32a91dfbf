// The compound document around .xls workbooks: real files (streams in sectors and in the mini
// stream), large documents whose allocation table needs extension sectors, and damaged tables,
// chains and directories, which must give nothing or a refusal rather than a crash or a hang.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "CompoundFileBuilder.h"
#include "intake/FileBytes.h"
#include "intake/OleCompoundFile.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

using test::compoundFile;

std::uint32_t get32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int k = 3; k >= 0; --k) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    }
    return value;
}

void set32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        bytes[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
    }
}

std::string pattern(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>((i * 7 + i / 509) & 0xFF);
    }
    return text;
}

TEST(OleCompoundFileTest, ReadsTheStreamsOfRealWorkbooksInSectorsAndInTheMiniStream) {
    // The sample (written by Excel, its workbook in sectors) and a fixture written by LibreOffice
    // (its workbook of under 4,096 bytes in the mini stream); both carry property streams of a
    // few hundred bytes in the mini stream.
    for (const std::string& path :
         {test::sampleFile("分班数据输入样例.xls"), test::testData("import/normal.xls")}) {
        SCOPED_TRACE(path);
        const std::string bytes = readFileBytes(path);
        const auto file = OleCompoundFile::open(bytes);
        ASSERT_TRUE(file);
        const auto workbook = file->readStream("WORKBOOK");  // names compare without case
        ASSERT_TRUE(workbook);
        EXPECT_EQ(workbook->substr(0, 2), std::string("\x09\x08", 2));  // BOF of BIFF8
        const auto summary = file->readStream("\x05SummaryInformation");
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->substr(0, 2), "\xFE\xFF");  // a property set's byte order mark
        EXPECT_FALSE(file->holdsEncryptedPackage());
        EXPECT_FALSE(file->readStream("Book"));
    }
}

TEST(OleCompoundFileTest, ReadsAnAllocationTableListedInExtensionSectors) {
    // 512-byte sectors and 7.5 MB of streams need more than the header's 109 table sectors.
    const std::string big = pattern(7'500'000);
    const std::string bytes = compoundFile({{"Workbook", big}, {"Other", "x"}}, 9);
    ASSERT_GT(get32(bytes, 0x48), 0u);  // extension sectors in use
    const auto file = OleCompoundFile::open(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->streamNames(), (std::vector<std::string>{"Other", "Workbook"}));
    EXPECT_EQ(file->readStream("Workbook"), big);
}

TEST(OleCompoundFileTest, DamagedDocumentsGiveNothingInsteadOfReadingAstray) {
    const std::string content = pattern(20'000);
    const std::string good = compoundFile({{"Workbook", content}});
    const std::uint32_t directorySector = get32(good, 0x30);
    const std::size_t directory = (directorySector + 1) * 512;
    const std::size_t fat = (get32(good, 0x4C) + 1) * 512;  // the first table sector
    const std::size_t workbookEntry = directory + 128;

    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        bool opens;
    };
    const Case cases[] = {
        {"cut inside the header", [](std::string& b) { b.resize(300); }, false},
        {"sector size beyond reason", [](std::string& b) { set32(b, 0x1E, 0x0006001F); }, false},
        {"more table sectors than the file has", [](std::string& b) { set32(b, 0x2C, 100000); },
         false},
        {"table sector beyond the file", [](std::string& b) { set32(b, 0x4C, 5000000); }, false},
        {"directory chain that loops",
         [&](std::string& b) { set32(b, fat + 4 * directorySector, directorySector); }, false},
        {"file cut before its directory", [](std::string& b) { b.resize(512 * 20); }, false},
        {"stream longer than the file",
         [&](std::string& b) { set32(b, workbookEntry + 120, 0x7FFFFFFF); }, true},
        {"stream chain that loops back", [&](std::string& b) { set32(b, fat + 4 * 5, 2); }, true},
        {"stream chain that ends early", [&](std::string& b) { set32(b, fat + 4 * 5, 0xFFFFFFFE); },
         true},
        {"stream chain that leaves the table",
         [&](std::string& b) { set32(b, fat + 4 * 5, 0x00FFFFFF); }, true},
        {"short stream in a mini stream that is not there",
         [&](std::string& b) { set32(b, workbookEntry + 120, 100); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = good;
        c.damage(bytes);
        const auto file = OleCompoundFile::open(bytes);
        ASSERT_EQ(file.has_value(), c.opens);
        if (file) {
            EXPECT_TRUE(file->hasStream("Workbook"));
            EXPECT_FALSE(file->readStream("Workbook"));
        }
    }
}

TEST(OleCompoundFileTest, ADirectoryTreeWithCyclesListsEachStreamOnce) {
    std::string bytes = compoundFile({{"A", "1"}, {"B", "2"}, {"C", "3"}});
    const std::size_t directory = (get32(bytes, 0x30) + 1) * 512;
    // Entries 1 to 3 are chained as right siblings; the last one now points back to the first,
    // and the first names itself as its left sibling.
    set32(bytes, directory + 3 * 128 + 72, 1);
    set32(bytes, directory + 1 * 128 + 68, 1);
    const auto file = OleCompoundFile::open(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->streamNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(file->readStream("c")->substr(0, 1), "3");
}

}  // namespace
}  // namespace qm::intake
