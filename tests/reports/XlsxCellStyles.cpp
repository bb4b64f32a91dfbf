#include "XlsxCellStyles.h"

#include <cstdlib>
#include <functional>
#include <vector>

#include "intake/ZipArchive.h"

namespace qm::test {

namespace {

// Calls back for every start element with its local name and attributes; tracks the parent.
class ElementWalker : public intake::XmlHandler {
  public:
    using Callback = std::function<void(std::string_view name, std::string_view parent,
                                        const char** attributes)>;
    explicit ElementWalker(Callback callback) : callback_(std::move(callback)) {}
    void startElement(std::string_view name, const char** attributes) override {
        callback_(name, path_.empty() ? "" : path_.back(), attributes);
        path_.emplace_back(name);
    }
    void endElement(std::string_view) override { path_.pop_back(); }
    void characters(std::string_view) override {}

  private:
    Callback callback_;
    std::vector<std::string> path_;
};

int numberAttribute(const char** attributes, std::string_view name) {
    const char* value = intake::xmlAttribute(attributes, name);
    return value ? std::atoi(value) : 0;
}

}  // namespace

XlsxCellStyles::XlsxCellStyles(const std::string& path) {
    intake::ZipArchive archive(path);
    ElementWalker styles(
        [this](std::string_view name, std::string_view parent, const char** attributes) {
            if (name == "numFmt") {
                formatCodes_[numberAttribute(attributes, "numFmtId")] =
                    intake::xmlAttribute(attributes, "formatCode");
            } else if (name == "font") {
                redFonts_.push_back(false);
            } else if (name == "color" && parent == "font") {
                const char* rgb = intake::xmlAttribute(attributes, "rgb");
                redFonts_.back() = rgb && std::string(rgb) == "FFFF0000";
            } else if (name == "xf" && parent == "cellXfs") {
                styles_.push_back({numberAttribute(attributes, "fontId"),
                                   numberAttribute(attributes, "numFmtId")});
            }
        });
    archive.parseXml("xl/styles.xml", styles);
    ElementWalker sheet([this](std::string_view name, std::string_view, const char** attributes) {
        if (name == "c") {
            cellStyle_[intake::xmlAttribute(attributes, "r")] = numberAttribute(attributes, "s");
        } else if (name == "pane" && intake::xmlAttribute(attributes, "state") &&
                   std::string(intake::xmlAttribute(attributes, "state")) == "frozen") {
            frozenRows_ = numberAttribute(attributes, "ySplit");
            frozenColumns_ = numberAttribute(attributes, "xSplit");
        }
    });
    archive.parseXml("xl/worksheets/sheet1.xml", sheet);
}

const XlsxCellStyles::Style& XlsxCellStyles::styleOf(const std::string& cell) const {
    static const Style kDefault;
    const auto found = cellStyle_.find(cell);
    if (found == cellStyle_.end() || found->second >= static_cast<int>(styles_.size())) {
        return kDefault;
    }
    return styles_[static_cast<std::size_t>(found->second)];
}

bool XlsxCellStyles::isRed(const std::string& cell) const {
    const int font = styleOf(cell).font;
    return font < static_cast<int>(redFonts_.size()) && redFonts_[static_cast<std::size_t>(font)];
}

std::string XlsxCellStyles::numberFormat(const std::string& cell) const {
    // Built-in formats are not written into the package.
    static const std::map<int, std::string> kBuiltIn = {{0, "General"}, {1, "0"}, {2, "0.00"}};
    const int id = styleOf(cell).numberFormat;
    if (const auto found = formatCodes_.find(id); found != formatCodes_.end()) {
        return found->second;
    }
    const auto builtIn = kBuiltIn.find(id);
    return builtIn == kBuiltIn.end() ? "built-in " + std::to_string(id) : builtIn->second;
}

}  // namespace qm::test
