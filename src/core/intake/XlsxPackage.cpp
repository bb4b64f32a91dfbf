#include "XlsxPackage.h"

#include <cstdlib>
#include <map>

#include "ReadLimits.h"
#include "UnicodeText.h"

namespace qm::intake {

namespace {

// The folder of a package part, with a trailing slash: "xl/workbook.xml" gives "xl/".
std::string partFolder(const std::string& part) {
    const auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// Resolves a relationship target against the folder of its source part: a target starting with
// "/" is from the package root, "../" climbs one folder.
std::string resolveTarget(const std::string& folder, const std::string& target) {
    std::string path = target.starts_with('/') ? target.substr(1) : folder + target;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto end = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const auto& segment : segments) {
        resolved += (resolved.empty() ? "" : "/") + segment;
    }
    return resolved;
}

// The relationships of a part: id to resolved target, plus the targets by type.
struct Relationships : XmlHandler {
    explicit Relationships(std::string sourceFolder) : folder(std::move(sourceFolder)) {}
    std::string folder;
    std::map<std::string, std::string> targetById;
    std::map<std::string, std::string> targetByType;  // last part of the type URI

    void startElement(std::string_view name, const char** attributes) override {
        if (name != "Relationship") {
            return;
        }
        const char* id = xmlAttribute(attributes, "Id");
        const char* type = xmlAttribute(attributes, "Type");
        const char* target = xmlAttribute(attributes, "Target");
        const char* mode = xmlAttribute(attributes, "TargetMode");
        if (!target || (mode && std::string_view(mode) == "External")) {
            return;
        }
        const std::string resolved = resolveTarget(folder, target);
        if (id) {
            targetById[id] = resolved;
        }
        if (type) {
            const std::string_view typeText(type);
            targetByType[std::string(typeText.substr(typeText.rfind('/') + 1))] = resolved;
        }
    }
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}
};

Relationships readRelationships(const ZipArchive& archive, const std::string& part) {
    const std::string folder = partFolder(part);
    const std::string fileName = part.substr(folder.size());
    Relationships relationships(folder);
    const std::string entry = folder + "_rels/" + fileName + ".rels";
    if (archive.contains(entry)) {
        archive.parseXml(entry, relationships);
    }
    return relationships;
}

// Remembers the local names of the open elements, so that a handler can tell where it is.
class ElementPath {
  public:
    void open(std::string_view name) { names_.emplace_back(name); }
    void close() {
        if (!names_.empty()) {
            names_.pop_back();
        }
    }
    // The number of open elements: 1 inside the root element.
    std::size_t depth() const { return names_.size(); }
    bool parentIs(std::string_view name) const { return !names_.empty() && names_.back() == name; }

  private:
    std::vector<std::string> names_;
};

struct WorkbookPart : XmlHandler {
    std::vector<std::string> names;
    std::vector<std::string> relationshipIds;
    int activeTab = 0;
    bool sawView = false;
    bool epoch1904 = false;
    ElementPath path;

    void startElement(std::string_view name, const char** attributes) override {
        take(name, attributes);
        path.open(name);
    }
    void endElement(std::string_view) override { path.close(); }
    void characters(std::string_view) override {}

    void take(std::string_view name, const char** attributes) {
        if (name == "sheet" && path.parentIs("sheets")) {
            const char* sheetName = xmlAttribute(attributes, "name");
            const char* id = xmlAttribute(attributes, "id");
            names.emplace_back(sheetName ? sheetName : "");
            relationshipIds.emplace_back(id ? id : "");
        } else if (name == "workbookView" && path.parentIs("bookViews") && !sawView) {
            sawView = true;  // the first view is the one a spreadsheet program opens with
            if (const char* tab = xmlAttribute(attributes, "activeTab")) {
                activeTab = std::atoi(tab);
            }
        } else if (name == "workbookPr" && path.depth() == 1) {
            // Only the workbook's own properties: extensions hold elements of the same name.
            const char* date1904 = xmlAttribute(attributes, "date1904");
            epoch1904 = date1904 &&
                        (std::string_view(date1904) == "1" || std::string_view(date1904) == "true");
        }
    }
};

struct SharedStringsPart : XmlHandler {
    explicit SharedStringsPart(const std::string& file) : path(file) {}
    const std::string& path;
    std::vector<std::string> strings;
    std::size_t bytes = 0;
    StringItemText item;

    void startElement(std::string_view name, const char**) override {
        if (name == "si") {
            item.take();
        }
        item.startElement(name);
    }
    void endElement(std::string_view name) override {
        item.endElement(name);
        if (name == "si") {
            strings.push_back(item.take());
            bytes += strings.back().size();
            if (bytes > ReadLimits::kTextBytes) {
                throw fileTooBig(
                    path, "中的文字超过 " + std::to_string(ReadLimits::kTextBytes >> 20) + " MB");
            }
        }
    }
    void characters(std::string_view text) override { item.characters(text); }
};

struct StylesPart : XmlHandler {
    std::map<int, NumberShape> customFormatShapes;
    std::vector<int> cellFormatIds;
    ElementPath path;

    void startElement(std::string_view name, const char** attributes) override {
        if (name == "numFmt" && path.parentIs("numFmts")) {
            const char* id = xmlAttribute(attributes, "numFmtId");
            const char* code = xmlAttribute(attributes, "formatCode");
            if (id && code) {
                customFormatShapes[std::atoi(id)] = shapeOfFormatCode(code);
            }
        } else if (name == "xf" && path.parentIs("cellXfs")) {
            const char* id = xmlAttribute(attributes, "numFmtId");
            cellFormatIds.push_back(id ? std::atoi(id) : 0);
        }
        path.open(name);
    }
    void endElement(std::string_view) override { path.close(); }
    void characters(std::string_view) override {}
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Spreadsheet programs write characters that XML cannot hold, such as a carriage return, as
// _xHHHH_, a UTF-16 code unit (and a literal "_x" as _x005F_x).
std::string decodeEscapes(const std::string& text) {
    if (text.find("_x") == std::string::npos) {
        return text;
    }
    std::string out;
    Utf16Appender units(out);
    std::size_t i = 0;
    std::size_t plainFrom = 0;  // start of the text since the last escape
    while (i < text.size()) {
        if (i + 7 <= text.size() && text[i] == '_' && text[i + 1] == 'x' && text[i + 6] == '_') {
            unsigned code = 0;
            bool hex = true;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                const int digit = hexValue(text[k]);
                hex = hex && digit >= 0;
                code = code * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
            }
            if (hex) {
                if (plainFrom < i) {
                    units.addUtf8(std::string_view(text).substr(plainFrom, i - plainFrom));
                }
                units.add(code);
                i += 7;
                plainFrom = i;
                continue;
            }
        }
        ++i;
    }
    units.addUtf8(std::string_view(text).substr(plainFrom));
    units.finish();
    return out;
}

}  // namespace

void StringItemText::startElement(std::string_view name) {
    if (name == "rPh") {
        ++phoneticDepth_;
    } else if (name == "t" && phoneticDepth_ == 0) {
        inText_ = true;
    }
}

void StringItemText::endElement(std::string_view name) {
    if (name == "rPh") {
        --phoneticDepth_;
    } else if (name == "t") {
        inText_ = false;
    }
}

void StringItemText::characters(std::string_view text) {
    if (inText_) {
        text_ += text;
    }
}

std::string StringItemText::take() {
    std::string text = decodeEscapes(text_);
    text_.clear();
    inText_ = false;
    phoneticDepth_ = 0;
    return text;
}

XlsxPackage readXlsxPackage(const ZipArchive& archive) {
    const Relationships root = readRelationships(archive, "");
    auto document = root.targetByType.find("officeDocument");
    const std::string workbookEntry =
        document != root.targetByType.end() ? document->second : "xl/workbook.xml";

    WorkbookPart workbook;
    archive.parseXml(workbookEntry, workbook);
    const Relationships parts = readRelationships(archive, workbookEntry);

    XlsxPackage package;
    package.sheetNames = workbook.names;
    for (const auto& id : workbook.relationshipIds) {
        const auto target = parts.targetById.find(id);
        package.sheetEntries.push_back(target != parts.targetById.end() ? target->second : "");
    }
    const int count = static_cast<int>(package.sheetNames.size());
    package.activeSheet =
        workbook.activeTab >= 0 && workbook.activeTab < count ? workbook.activeTab : 0;
    package.epoch1904 = workbook.epoch1904;
    if (auto strings = parts.targetByType.find("sharedStrings");
        strings != parts.targetByType.end()) {
        package.sharedStringsEntry = strings->second;
    }
    if (auto styles = parts.targetByType.find("styles"); styles != parts.targetByType.end()) {
        package.stylesEntry = styles->second;
    }
    return package;
}

std::vector<std::string> readSharedStrings(const ZipArchive& archive, const std::string& entry) {
    SharedStringsPart part(archive.path());
    if (!entry.empty() && archive.contains(entry)) {
        archive.parseXml(entry, part);
    }
    return std::move(part.strings);
}

std::vector<NumberShape> readCellFormatShapes(const ZipArchive& archive, const std::string& entry) {
    StylesPart part;
    if (!entry.empty() && archive.contains(entry)) {
        archive.parseXml(entry, part);
    }
    std::vector<NumberShape> shapes;
    shapes.reserve(part.cellFormatIds.size());
    for (const int id : part.cellFormatIds) {
        const auto custom = part.customFormatShapes.find(id);
        shapes.push_back(custom != part.customFormatShapes.end() ? custom->second
                                                                 : shapeOfBuiltInFormat(id));
    }
    return shapes;
}

}  // namespace qm::intake
