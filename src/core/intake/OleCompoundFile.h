#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::intake {

// A compound document (the container of .xls workbooks and of password-protected .xlsx
// workbooks) in memory, read for its top-level streams. The file is a header and equal sectors;
// the sector allocation table (whose own sectors the header and the extension chain list) links
// the sectors of each stream, the directory and the table of the mini stream; streams shorter
// than the cut-off (4,096 bytes) lie in 64-byte mini sectors inside the mini stream. Every
// offset, count and chain is checked against the bytes at hand: a damaged document gives nothing
// rather than reading outside them or looping. The bytes must outlive the object.
class OleCompoundFile {
  public:
    // Gives nothing when the bytes are not a readable compound document.
    static std::optional<OleCompoundFile> open(std::string_view bytes);

    // The names of the top-level streams, in directory order (for tools and the fuzz target).
    std::vector<std::string> streamNames() const;
    // Stream names are compared without regard to letter case, as compound documents do.
    bool hasStream(std::string_view name) const;
    // True for the container of a password-protected .xlsx (its encrypted package).
    bool holdsEncryptedPackage() const;
    // The whole content of a top-level stream; nothing when there is no such stream or it cannot
    // be read (its chain of sectors is broken, loops, or ends before the stream does).
    std::optional<std::string> readStream(std::string_view name) const;

  private:
    struct Stream {
        std::string name;  // as UTF-8
        std::uint32_t firstSector;
        std::uint64_t size;
    };

    explicit OleCompoundFile(std::string_view bytes) : bytes_(bytes) {}
    bool readHeaderAndTables();
    bool readDirectory();
    // The bytes of a sector (shorter when the file ends inside it); empty when it lies beyond.
    std::string_view sector(std::uint32_t index) const;
    // The sectors of a chain up to its end mark; nothing when it leaves the table or loops.
    std::optional<std::vector<std::uint32_t>> chainOf(std::uint32_t first) const;
    const Stream* streamNamed(std::string_view name) const;
    // The bytes of a chain of sectors (or of mini sectors in the mini stream), `size` of them.
    std::optional<std::string> readChain(std::uint32_t first, std::uint64_t size, bool mini) const;

    std::string_view bytes_;
    unsigned sectorShift_ = 9;
    unsigned miniSectorShift_ = 6;
    std::uint32_t miniStreamCutoff_ = 4096;
    std::vector<std::uint32_t> fat_;      // next sector of each sector
    std::vector<std::uint32_t> miniFat_;  // next mini sector of each mini sector
    std::string miniStream_;              // the root entry's stream, holding the mini sectors
    std::vector<Stream> streams_;
};

// True for bytes starting with the signature of a compound document.
bool hasCompoundFileSignature(std::string_view firstBytes);

}  // namespace qm::intake
