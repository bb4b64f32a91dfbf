#pragma once

#include <string>
#include <utility>

typedef struct lxw_workbook lxw_workbook;
typedef struct lxw_worksheet lxw_worksheet;
typedef struct lxw_format lxw_format;

namespace qm::reports {

// Where an export goes. The file is never part of the database in use (see
// store/WriteTargets.h), and an existing file there that is not an .xlsx workbook (an empty file
// aside) is replaced only with replaceAnyFile (store::ExistingFileRefused otherwise): a workbook
// exported before may be exported again, a document that happens to have the name is kept.
struct ExportTarget {
    // A file alone (implicit, as a path has always been given): no database to protect, and
    // only a workbook or an empty file is replaced.
    ExportTarget(std::string file) : path(std::move(file)) {}
    ExportTarget(std::string file, std::string database, bool replaceAny)
        : path(std::move(file)), databasePath(std::move(database)), replaceAnyFile(replaceAny) {}

    std::string path;          // UTF-8
    std::string databasePath;  // the database in use; empty when there is none to protect
    bool replaceAnyFile = false;
};

// A new .xlsx workbook being written. Nothing reaches the target file before save(): the
// workbook is written beside it under a temporary name, read back, and only then put in its
// place, so a failed export never leaves half a file or a file the program cannot read, nor
// destroys a file that was there. Texts are written as valid UTF-8 that XML can hold (see
// xmlSafeText). Rows and columns count from 0. Every failure is a UserError with a message for
// the user.
class XlsxWriter {
  public:
    // Refuses a target it may not write at once, before anything is written (see ExportTarget).
    explicit XlsxWriter(ExportTarget target);
    ~XlsxWriter();
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    lxw_worksheet* addSheet(const std::string& name);
    // A new cell format, to be set up with libxlsxwriter's format_set_* functions.
    lxw_format* addFormat();

    void writeText(lxw_worksheet* sheet, std::size_t row, std::size_t column,
                   const std::string& text, lxw_format* format = nullptr);
    void writeNumber(lxw_worksheet* sheet, std::size_t row, std::size_t column, double value,
                     lxw_format* format = nullptr);
    // Width of one column, in characters of the default font.
    void setColumnWidth(lxw_worksheet* sheet, std::size_t column, double width);

    // Writes the workbook to its file, replacing a file of that name, once it reads back.
    void save();

  private:
    void check(int error, const std::string& what) const;
    // The rules of ExportTarget, asked again just before the workbook takes its place.
    void checkTarget() const;

    ExportTarget target_;
    std::string path_;
    std::string partialPath_;
    lxw_workbook* workbook_ = nullptr;
};

}  // namespace qm::reports
