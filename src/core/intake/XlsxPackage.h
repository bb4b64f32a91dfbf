#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ZipArchive.h"

namespace qm::intake {

// What an .xlsx package says about its workbook: the sheets in tab order with the zip entries
// holding them, the active tab, the date system, and the entries of the shared strings and the
// styles (empty when the package has none).
struct XlsxPackage {
    std::vector<std::string> sheetNames;
    std::vector<std::string> sheetEntries;
    int activeSheet = 0;
    bool epoch1904 = false;
    std::string sharedStringsEntry;
    std::string stylesEntry;
};

// Follows the package relationships from _rels/.rels to the workbook and its parts.
XlsxPackage readXlsxPackage(const ZipArchive& archive);

// The shared strings table: the text of each string item, runs joined, phonetic runs left out.
std::vector<std::string> readSharedStrings(const ZipArchive& archive, const std::string& entry);

// For each cell style (the s attribute of a cell), whether its number format shows a date or a
// time.
std::vector<bool> readDateStyles(const ZipArchive& archive, const std::string& entry);

// Collects the text of a string item (<si> or <is>): the <t> elements, outside phonetic runs
// (<rPh>), with the _xHHHH_ escapes of control characters decoded.
class StringItemText {
  public:
    void startElement(std::string_view name);
    void endElement(std::string_view name);
    void characters(std::string_view text);
    // The text collected since the last call, which starts a new item.
    std::string take();

  private:
    std::string text_;
    bool inText_ = false;
    int phoneticDepth_ = 0;
};

}  // namespace qm::intake
