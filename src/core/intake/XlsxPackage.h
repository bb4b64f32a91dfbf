#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "NumberFormat.h"
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

// Follows the package relationships from _rels/.rels to the workbook and its parts. Elements are
// known by their local names and their place in the document, so that transitional and strict
// documents, and documents that give the main namespace a prefix, read the same, while elements
// of extensions (such as the x15:workbookPr inside extLst) are not taken for the main ones.
XlsxPackage readXlsxPackage(const ZipArchive& archive);

// The shared strings table: the text of each string item, runs joined, phonetic runs left out.
// Refused as too big when the texts together pass ReadLimits::kTextBytes.
std::vector<std::string> readSharedStrings(const ZipArchive& archive, const std::string& entry);

// For each cell style (the s attribute of a cell), how its number format shows numbers.
std::vector<NumberShape> readCellFormatShapes(const ZipArchive& archive, const std::string& entry);

// Collects the text of a string item (<si> or <is>): the <t> elements, outside phonetic runs
// (<rPh>), with the _xHHHH_ escapes of characters decoded (a surrogate pair of escapes is one
// character; what XML cannot hold becomes U+FFFD).
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
