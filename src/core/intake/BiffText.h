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

    // A string whose character count takes `countBytes` bytes (1 or 2). False when the data end
    // before the string does.
    bool read(BiffContinuedData& data, int countBytes, std::string& out);

  private:
    bool readUnicode(BiffContinuedData& data, std::size_t count, std::string& out) const;
    std::string decodeBytes(std::string_view bytes) const;

    bool biff8_;
    unsigned codePage_ = 1252;
};

}  // namespace qm::intake
