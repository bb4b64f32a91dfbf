#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm::intake {

// A compound document (the container of .xls workbooks and of password-protected .xlsx
// workbooks) in memory, opened through libgsf to read its top-level streams. The bytes must
// outlive the object.
class OleCompoundFile {
  public:
    // Gives nothing when the bytes are not a readable compound document.
    static std::optional<OleCompoundFile> open(std::string_view bytes);

    ~OleCompoundFile();
    OleCompoundFile(OleCompoundFile&& other) noexcept;
    OleCompoundFile& operator=(OleCompoundFile&&) = delete;
    OleCompoundFile(const OleCompoundFile&) = delete;
    OleCompoundFile& operator=(const OleCompoundFile&) = delete;

    // Stream names are compared without regard to letter case, as compound documents do.
    bool hasStream(std::string_view name) const;
    // True for the container of a password-protected .xlsx (its encrypted package).
    bool holdsEncryptedPackage() const;
    // The whole content of a top-level stream; nothing when there is no such stream or it cannot
    // be read (a stream can be no longer than the document holding it).
    std::optional<std::string> readStream(std::string_view name) const;

  private:
    OleCompoundFile(void* infile, std::size_t documentSize)
        : infile_(infile), documentSize_(documentSize) {}
    void* childNamed(std::string_view name) const;

    void* infile_;  // GsfInfile*, kept out of this header so that users need no glib headers
    std::size_t documentSize_;
};

// True for bytes starting with the signature of a compound document.
bool hasCompoundFileSignature(std::string_view firstBytes);

}  // namespace qm::intake
