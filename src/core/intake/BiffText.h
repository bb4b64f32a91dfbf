#pragma once

#include <string>
#include <string_view>

#include "BiffRecords.h"

namespace qm::intake {

// Reads the texts of a workbook stream as UTF-8. BIFF8 (Excel 97 and later) holds them as
// Unicode: a character count, a flags byte (characters of one or two bytes, rich-text runs and
// phonetic data following), the characters. BIFF5 and BIFF7 (Excel 5 and 95) hold bytes in the
// workbook's code page (the CODEPAGE record: 936 for Simplified Chinese, 1252 for Western
// Europe, ...), 1252 when the workbook names none.
class BiffText {
  public:
    explicit BiffText(bool biff8);
    BiffText(const BiffText&) = delete;
    BiffText& operator=(const BiffText&) = delete;

    void setBiff8(bool biff8) { biff8_ = biff8; }
    void setCodePage(unsigned codePage);

    // What a string whose characters the data end before is: damaged (a shared string, a sheet
    // name), or read with the characters present (a cell's own text, which some writers cut
    // short at the end of its record).
    enum class CutShort { Refused, Read };

    // A string whose character count takes `countBytes` bytes (1 or 2). False when the data end
    // before the string does (with CutShort::Read, only before its count and flags).
    bool read(BiffContinuedData& data, int countBytes, std::string& out,
              CutShort cutShort = CutShort::Refused);

  private:
    bool readUnicode(BiffContinuedData& data, std::size_t count, std::string& out,
                     CutShort cutShort) const;
    std::string decodeBytes(std::string_view bytes) const;

    bool biff8_;
    unsigned codePage_ = 1252;
};

}  // namespace qm::intake
