#include "XlsxFixture.h"

#include <zip.h>

#include <fstream>
#include <stdexcept>

namespace qm::test {

std::string zipArchive(const std::map<std::string, std::string>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    if (!archive) {
        throw std::runtime_error("libzip cannot write an archive in memory");
    }
    zip_source_keep(target);
    for (const auto& [name, content] : entries) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    }
    zip_close(archive);
    std::string bytes;
    zip_stat_t stat;
    if (zip_source_stat(target, &stat) == 0 && zip_source_open(target) == 0) {
        bytes.resize(stat.size);
        zip_source_read(target, bytes.data(), stat.size);
        zip_source_close(target);
    }
    zip_source_free(target);
    zip_error_fini(&error);
    return bytes;
}

std::string xlsxPackage(const XlsxParts& parts) {
    const std::string relationships =
        "http://schemas.openxmlformats.org/package/2006/relationships";
    const std::string types = parts.relationshipNamespace;
    std::string workbookRels = "<Relationships xmlns=\"" + relationships + "\">" +
                               "<Relationship Id=\"rId1\" Type=\"" + types +
                               "/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    std::map<std::string, std::string> entries;
    if (!parts.sharedStrings.empty()) {
        workbookRels += "<Relationship Id=\"rId2\" Type=\"" + types +
                        "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        entries["xl/sharedStrings.xml"] =
            "<sst xmlns=\"" + parts.mainNamespace + "\">" + parts.sharedStrings + "</sst>";
    }
    if (!parts.styles.empty()) {
        workbookRels +=
            "<Relationship Id=\"rId3\" Type=\"" + types + "/styles\" Target=\"styles.xml\"/>";
        entries["xl/styles.xml"] =
            "<styleSheet xmlns=\"" + parts.mainNamespace + "\">" + parts.styles + "</styleSheet>";
    }
    entries["_rels/.rels"] = "<Relationships xmlns=\"" + relationships + "\">" +
                             "<Relationship Id=\"rId1\" Type=\"" + types +
                             "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    entries["xl/_rels/workbook.xml.rels"] = workbookRels + "</Relationships>";
    entries["xl/workbook.xml"] = "<workbook xmlns=\"" + parts.mainNamespace + "\" xmlns:r=\"" +
                                 parts.relationshipNamespace + "\">" + parts.workbookExtra +
                                 "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>" +
                                 "</sheets></workbook>";
    entries["xl/worksheets/sheet1.xml"] = "<worksheet xmlns=\"" + parts.mainNamespace +
                                          "\"><sheetData>" + parts.sheetData +
                                          "</sheetData></worksheet>";
    return zipArchive(entries);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace qm::test
