#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qm::intake {

// A compound document file (the container of .xls workbooks and of password-protected .xlsx
// workbooks), opened to look at its top-level streams.
class OleCompoundFile {
  public:
    // Gives nothing when the file is not a readable compound document.
    static std::optional<OleCompoundFile> open(const std::string& path);

    ~OleCompoundFile();
    OleCompoundFile(OleCompoundFile&& other) noexcept;
    OleCompoundFile& operator=(OleCompoundFile&&) = delete;
    OleCompoundFile(const OleCompoundFile&) = delete;
    OleCompoundFile& operator=(const OleCompoundFile&) = delete;

    bool hasStream(const std::string& name) const;
    // The whole content of a top-level stream; nothing when there is no such stream or it cannot
    // be read.
    std::optional<std::vector<unsigned char>> readStream(const std::string& name) const;

  private:
    explicit OleCompoundFile(void* infile) : infile_(infile) {}
    void* infile_;  // GsfInfile*, kept out of this header so that users need no glib headers
};

// True for a file starting with the signature of a compound document.
bool hasCompoundFileSignature(const std::string& firstBytes);

}  // namespace qm::intake
