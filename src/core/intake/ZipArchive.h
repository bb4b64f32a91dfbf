#pragma once

#include <string>
#include <string_view>

struct zip;

namespace qm::intake {

// Receives the elements of an XML document as they are read. Names are local names: a prefix
// such as "r:" in "r:id" is dropped, so documents using other namespace prefixes read the same.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // attributes: name, value, name, value, ..., nullptr (as expat gives them).
    virtual void startElement(std::string_view name, const char** attributes) = 0;
    virtual void endElement(std::string_view name) = 0;
    virtual void characters(std::string_view text) = 0;
};

// The value of the attribute with this local name, or nullptr.
const char* xmlAttribute(const char** attributes, std::string_view name);

// The local part of an XML name: "r:id" gives "id".
std::string_view xmlLocalName(std::string_view name);

// A zip archive opened for reading, whose XML entries are parsed in a stream, so that a large
// sheet is never held in memory as text. Failures throw UserError naming the file; an entry that
// unpacks beyond ReadLimits::kPartBytes (a zip bomb) is refused as too big.
class ZipArchive {
  public:
    explicit ZipArchive(const std::string& path);
    // From the bytes of a file, which the archive keeps; `name` names it in messages.
    ZipArchive(std::string bytes, const std::string& name);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The file named in messages.
    const std::string& path() const { return path_; }
    bool contains(const std::string& entry) const;
    // Parses the entry with expat and hands its elements to the handler. A missing entry, a
    // damaged archive or malformed XML throws UserError.
    void parseXml(const std::string& entry, XmlHandler& handler) const;

  private:
    std::string path_;
    std::string bytes_;  // of an archive read from memory
    zip* archive_ = nullptr;
};

}  // namespace qm::intake
