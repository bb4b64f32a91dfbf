#pragma once

#include <string>

namespace qm::reports {

// The file a PDF is written to. Nothing reaches the target before commit(): the PDF is written
// beside it under a temporary name (partialPath, the target's name with ".part"), checked and
// only then renamed into place, so a failed export leaves neither half a file nor a damaged one
// where a good file was; without commit() the temporary file is removed. Every refusal is a
// UserError with a message for the user.
class PdfTarget {
  public:
    // Refuses a target that is the database file at databasePath (or one of its companions),
    // a folder, or lies in a folder that does not exist, and an existing file that is not a PDF
    // unless overwrite is set. An existing PDF is replaced.
    PdfTarget(const std::string& databasePath, std::string path, bool overwrite);
    ~PdfTarget();
    PdfTarget(const PdfTarget&) = delete;
    PdfTarget& operator=(const PdfTarget&) = delete;

    const std::string& path() const { return path_; }
    const std::string& partialPath() const { return partialPath_; }

    // Puts the written PDF in place of the target, once it is there and is a PDF.
    void commit();

  private:
    std::string databasePath_;
    std::string path_;
    std::string partialPath_;
    bool committed_ = false;
};

}  // namespace qm::reports
