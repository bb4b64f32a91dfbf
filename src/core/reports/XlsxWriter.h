#pragma once

#include <string>

typedef struct lxw_workbook lxw_workbook;
typedef struct lxw_worksheet lxw_worksheet;
typedef struct lxw_format lxw_format;

namespace qm::reports {

// A new .xlsx workbook being written. Nothing reaches the target file before save(): the
// workbook is written beside it under a temporary name, read back, and only then put in its
// place, so a failed export never leaves half a file or a file the program cannot read, nor
// destroys a file that was there. Texts are written as valid UTF-8 that XML can hold (see
// xmlSafeText). Rows and columns count from 0. Every failure is a UserError with a message for
// the user.
class XlsxWriter {
  public:
    explicit XlsxWriter(std::string path);
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

    std::string path_;
    std::string partialPath_;
    lxw_workbook* workbook_;
};

}  // namespace qm::reports
