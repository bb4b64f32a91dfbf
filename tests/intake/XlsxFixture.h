#pragma once

#include <map>
#include <string>

namespace qm::test {

// The bytes of a zip archive with these entries (name, content), written through libzip.
std::string zipArchive(const std::map<std::string, std::string>& entries);

// The parts of a small .xlsx package of one sheet, for workbooks no spreadsheet program writes.
struct XlsxParts {
    // The namespace of the spreadsheet elements: transitional by default.
    std::string mainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    std::string relationshipNamespace =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    // The content of <workbook> besides <sheets>, e.g. <workbookPr date1904="1"/>.
    std::string workbookExtra;
    // The content of <sheetData>.
    std::string sheetData;
    // The content of <sst> (shared strings) and <styleSheet>; no part when empty.
    std::string sharedStrings;
    std::string styles;
};

// The bytes of the package.
std::string xlsxPackage(const XlsxParts& parts);

// Writes bytes to a file.
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace qm::test
