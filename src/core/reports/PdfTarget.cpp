#include "reports/PdfTarget.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/Platform.h"
#include "common/UserError.h"
#include "store/WriteTargets.h"

namespace fs = std::filesystem;

namespace qm::reports {

namespace {

using platform::pathFromUtf8;

// Every PDF file starts with these bytes.
bool startsLikePdf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    char head[5] = {};
    in.read(head, sizeof head);
    return in.gcount() == sizeof head && std::string(head, sizeof head) == "%PDF-";
}

}  // namespace

PdfTarget::PdfTarget(const std::string& databasePath, std::string path, bool overwrite)
    : databasePath_(databasePath), path_(std::move(path)), partialPath_(path_ + ".part") {
    if (path_.empty()) {
        throw UserError("没有给出 PDF 文件的名字");
    }
    const fs::path target = fs::absolute(pathFromUtf8(path_));
    store::refuseDatabaseFile(databasePath, path_);
    store::refuseDatabaseFile(databasePath, partialPath_);
    store::refuseUnwritablePlace(path_);
    std::error_code error;
    if (!overwrite && fs::exists(target, error) && !startsLikePdf(target)) {
        throw UserError("“" + path_ +
                        "”已经存在，而且不是 PDF 文件，没有替换它（确实要替换请加 --overwrite）");
    }
}

PdfTarget::~PdfTarget() {
    if (!committed_) {
        std::error_code ignored;
        fs::remove(pathFromUtf8(partialPath_), ignored);
    }
}

void PdfTarget::commit() {
    const fs::path partial = pathFromUtf8(partialPath_);
    if (!startsLikePdf(partial)) {
        throw UserError("PDF 文件没有写成，没有保存 " + path_);
    }
    // The target may have become a link to the database while the pages were painted.
    store::refuseDatabaseFile(databasePath_, path_);
    std::error_code error;
    fs::rename(partial, pathFromUtf8(path_), error);
    if (error) {
        throw UserError("无法写入 " + path_ + ": " + error.message());
    }
    committed_ = true;
}

}  // namespace qm::reports
