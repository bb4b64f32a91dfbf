#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qm::test {

// Writes a workbook stream of BIFF records byte by byte, for .xls fixtures no spreadsheet program
// would write: split shared strings, BIFF5 code pages, damaged lengths. Records are added in the
// order they are to appear; the BOF and EOF records of the globals and of each sheet, and the
// offsets in the BOUNDSHEET records, are written by stream().
//
//   BiffBuilder book;                       // BIFF8
//   book.sharedStrings({u"学号", u"张三"});
//   const int sheet = book.addSheet("学生");
//   book.sharedText(sheet, 0, 0, 0);        // A1: 学号
//   book.number(sheet, 1, 0, 1001);         // A2: 1001
//   std::string xls = compoundFile({{"Workbook", book.stream()}});
class BiffBuilder {
  public:
    enum class SheetKind { Worksheet, Chart };

    // One string of the shared strings table, with rich-text runs and phonetic data to skip.
    struct SharedString {
        std::u16string text;
        unsigned runs = 0;
        std::string phonetic;
    };

    // biff8 false writes BIFF5 (a stream named Book): texts are bytes in the code page.
    explicit BiffBuilder(bool biff8 = true);

    bool biff8() const { return biff8_; }

    // A record of the workbook globals, before the sheets.
    void global(unsigned type, const std::string& data);
    void codePage(unsigned codePage);
    void window1(unsigned activeTab);
    void dateMode1904();
    // A number format (its code in ASCII) and a cell format using it; gives the cell format's
    // index (XF), counted after the 16 that every workbook starts with.
    unsigned cellFormat(unsigned formatId, const std::string& code = {});
    // The shared strings table, split into CONTINUE records of at most `maxRecordData` bytes.
    void sharedStrings(const std::vector<SharedString>& strings, std::size_t maxRecordData = 8224);

    // A sheet: its BOUNDSHEET record and its substream. Gives its index.
    int addSheet(const std::string& name, SheetKind kind = SheetKind::Worksheet);
    // A record of a sheet's substream. Rows and columns count from 0, as the records do.
    void record(int sheet, unsigned type, const std::string& data);
    void number(int sheet, int row, int column, double value, unsigned format = 15);
    void rk(int sheet, int row, int column, std::uint32_t rk, unsigned format = 15);
    void sharedText(int sheet, int row, int column, std::uint32_t index, unsigned format = 15);
    // LABEL: BIFF8 writes the text as two-byte characters, BIFF5 writes `bytes` as they are.
    void label(int sheet, int row, int column, const std::u16string& text);
    void labelBytes(int sheet, int row, int column, const std::string& bytes);
    void boolErr(int sheet, int row, int column, unsigned value, bool error);
    // A FORMULA record with a number result, or with a special result (0 text, 1 boolean,
    // 2 error, 3 empty text) and its value byte.
    void formulaNumber(int sheet, int row, int column, double value, unsigned format = 15);
    void formulaSpecial(int sheet, int row, int column, unsigned kind, unsigned value = 0);

    // The whole stream. BOUNDSHEET offsets point at each sheet's BOF unless `wrongOffsets`.
    std::string stream(bool wrongOffsets = false) const;

    // Little-endian bytes of values, for records written by hand.
    static std::string u16(unsigned value);
    static std::string u32(std::uint32_t value);
    static std::string f64(double value);
    // A BIFF8 text: a character count of `countBytes` bytes, a flags byte, two-byte characters.
    static std::string unicodeText(const std::u16string& text, int countBytes);

  private:
    struct Record {
        unsigned type;
        std::string data;
    };
    struct Sheet {
        std::string name;
        SheetKind kind;
        std::vector<Record> records;
    };
    std::string cellHeader(int row, int column, unsigned format) const;

    bool biff8_;
    std::vector<Record> globals_;
    std::vector<Sheet> sheets_;
    unsigned cellFormats_ = 0;
};

}  // namespace qm::test
