#include "OleCompoundFile.h"

#include <algorithm>
#include <cctype>

#include "common/Utf8.h"

namespace qm::intake {

namespace {

constexpr std::uint32_t kLastRegularSector = 0xFFFFFFF9;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kHeaderFatSectors = 109;  // the first table sectors, listed in the header
constexpr std::size_t kDirectoryEntrySize = 128;
constexpr unsigned kStreamEntry = 2;

std::uint32_t read16(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

std::uint32_t read32(std::string_view bytes, std::size_t at) {
    return read16(bytes, at) | read16(bytes, at + 2) << 16;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Appends the 32-bit entries of a sector (or of its part within the file) to a table.
void appendEntries(std::vector<std::uint32_t>& table, std::string_view sector) {
    for (std::size_t at = 0; at + 4 <= sector.size(); at += 4) {
        table.push_back(read32(sector, at));
    }
}

// The name of a directory entry as UTF-8: up to 31 UTF-16 units before a zero. Control
// characters stay as they are (property streams start with U+0005).
std::string entryName(std::string_view entry) {
    std::string name;
    const std::size_t units = std::min<std::size_t>(read16(entry, 64) / 2, 32);
    for (std::size_t k = 0; k < units; ++k) {
        char32_t unit = read16(entry, 2 * k);
        if (unit == 0) {
            break;
        }
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const char32_t next = k + 1 < units ? read16(entry, 2 * k + 2) : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
            ++k;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;  // half of a pair
        }
        appendUtf8(name, static_cast<unsigned>(unit));
    }
    return name;
}

}  // namespace

bool hasCompoundFileSignature(std::string_view firstBytes) {
    return firstBytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

std::optional<OleCompoundFile> OleCompoundFile::open(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || !hasCompoundFileSignature(bytes)) {
        return std::nullopt;
    }
    OleCompoundFile file(bytes);
    if (!file.readHeaderAndTables() || !file.readDirectory()) {
        return std::nullopt;
    }
    return file;
}

std::string_view OleCompoundFile::sector(std::uint32_t index) const {
    // Sector 0 follows the header, which takes one whole sector.
    const std::uint64_t offset = (std::uint64_t{index} + 1) << sectorShift_;
    if (offset >= bytes_.size()) {
        return {};
    }
    return bytes_.substr(static_cast<std::size_t>(offset), std::size_t{1} << sectorShift_);
}

bool OleCompoundFile::readHeaderAndTables() {
    sectorShift_ = read16(bytes_, 0x1E);
    miniSectorShift_ = read16(bytes_, 0x20);
    // Excel writes sectors of 512 or 4,096 bytes and mini sectors of 64; others are read alike,
    // down to the header's own 512 bytes.
    if (sectorShift_ < 9 || sectorShift_ > 16 || miniSectorShift_ < 2 ||
        miniSectorShift_ >= sectorShift_) {
        return false;
    }
    miniStreamCutoff_ = read32(bytes_, 0x38);
    const std::size_t sectorSize = std::size_t{1} << sectorShift_;
    const std::size_t sectorsInFile = (bytes_.size() + sectorSize - 1) / sectorSize - 1;

    // The sectors of the allocation table: the first 109 in the header, the rest in a chain of
    // extension sectors, each ending with the number of the next.
    const std::uint32_t fatSectors = read32(bytes_, 0x2C);
    if (fatSectors == 0 || fatSectors > sectorsInFile) {
        return false;
    }
    std::vector<std::uint32_t> fatSectorList;
    for (std::size_t k = 0; k < kHeaderFatSectors && fatSectorList.size() < fatSectors; ++k) {
        fatSectorList.push_back(read32(bytes_, 0x4C + 4 * k));
    }
    std::uint32_t extension = read32(bytes_, 0x44);
    std::size_t extensionsRead = 0;
    while (fatSectorList.size() < fatSectors) {
        const std::string_view entries = sector(extension);
        if (entries.size() < sectorSize || ++extensionsRead > sectorsInFile) {
            return false;  // the list ends early, or its chain loops
        }
        for (std::size_t at = 0; at + 4 < sectorSize && fatSectorList.size() < fatSectors;
             at += 4) {
            fatSectorList.push_back(read32(entries, at));
        }
        extension = read32(entries, sectorSize - 4);
    }
    fat_.reserve(std::size_t{fatSectors} * sectorSize / 4);
    for (const std::uint32_t index : fatSectorList) {
        const std::string_view entries = sector(index);
        if (index > kLastRegularSector || entries.empty()) {
            return false;
        }
        appendEntries(fat_, entries);
    }

    // The table of the mini sectors lies in ordinary sectors.
    const std::uint32_t miniFatStart = read32(bytes_, 0x3C);
    if (miniFatStart <= kLastRegularSector) {
        const auto sectors = chainOf(miniFatStart);
        if (!sectors) {
            return false;
        }
        for (const std::uint32_t index : *sectors) {
            appendEntries(miniFat_, sector(index));
        }
    }
    return true;
}

std::optional<std::vector<std::uint32_t>> OleCompoundFile::chainOf(std::uint32_t first) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t index = first; index != kEndOfChain; index = fat_[index]) {
        // A chain longer than the table has visited some sector twice: it loops.
        if (index >= fat_.size() || sector(index).empty() || chain.size() >= fat_.size()) {
            return std::nullopt;
        }
        chain.push_back(index);
    }
    return chain;
}

bool OleCompoundFile::readDirectory() {
    const auto sectors = chainOf(read32(bytes_, 0x30));
    if (!sectors || sectors->empty()) {
        return false;
    }
    std::string directory;
    for (const std::uint32_t index : *sectors) {
        directory += sector(index);
    }
    const std::size_t entryCount = directory.size() / kDirectoryEntrySize;
    if (entryCount == 0) {
        return false;
    }
    const auto entry = [&](std::size_t index) {
        return std::string_view(directory).substr(index * kDirectoryEntrySize, kDirectoryEntrySize);
    };
    // Version 3 documents keep only the low 32 bits of a size; the high ones may hold anything.
    const bool wideSizes = read16(bytes_, 0x1A) >= 4;
    const auto sizeOf = [&](std::string_view e) {
        const std::uint64_t low = read32(e, 120);
        return wideSizes ? low | std::uint64_t{read32(e, 124)} << 32 : low;
    };

    // Entry 0 is the root: its stream is the mini stream. A mini stream that cannot be read
    // leaves only the streams in it unreadable.
    const std::string_view root = entry(0);
    if (auto mini = readChain(read32(root, 116), sizeOf(root), false)) {
        miniStream_ = std::move(*mini);
    }

    // The root's children form a tree ordered by name (left and right siblings); walked in
    // order, each entry once, however the links are damaged.
    std::vector<bool> visited(entryCount, false);
    std::vector<std::uint32_t> pending;
    std::uint32_t current = read32(root, 76);
    visited[0] = true;
    while (!pending.empty() || current < entryCount) {
        while (current < entryCount && !visited[current]) {
            visited[current] = true;
            pending.push_back(current);
            current = read32(entry(current), 68);
        }
        if (pending.empty()) {
            break;
        }
        const std::string_view e = entry(pending.back());
        pending.pop_back();
        if (static_cast<unsigned char>(e[66]) == kStreamEntry) {
            streams_.push_back({entryName(e), read32(e, 116), sizeOf(e)});
        }
        current = read32(e, 72);
    }
    return true;
}

std::optional<std::string> OleCompoundFile::readChain(std::uint32_t first, std::uint64_t size,
                                                      bool mini) const {
    const std::vector<std::uint32_t>& table = mini ? miniFat_ : fat_;
    const unsigned shift = mini ? miniSectorShift_ : sectorShift_;
    const std::size_t unit = std::size_t{1} << shift;
    const std::size_t available = mini ? miniStream_.size() : bytes_.size();
    if (size == 0) {
        return std::string();
    }
    if (size > available) {
        return std::nullopt;  // a stream cannot be longer than what holds it
    }
    const std::size_t units = static_cast<std::size_t>((size + unit - 1) >> shift);
    if (units > table.size()) {
        return std::nullopt;
    }
    std::string content;
    content.reserve(units << shift);
    std::vector<bool> visited(table.size(), false);
    std::uint32_t index = first;
    for (std::size_t k = 0; k < units; ++k) {
        // The chain must not end, leave the table or come back to a sector before the stream
        // does.
        if (index >= table.size() || visited[index]) {
            return std::nullopt;
        }
        visited[index] = true;
        std::string_view part;
        if (mini) {
            const std::size_t offset = std::size_t{index} << shift;
            if (offset >= miniStream_.size()) {
                return std::nullopt;
            }
            part = std::string_view(miniStream_).substr(offset, unit);
        } else {
            part = sector(index);
            if (part.empty()) {
                return std::nullopt;
            }
        }
        content += part;
        // The last sector of a file may be cut short after the stream's end.
        content.resize(content.size() + unit - part.size(), '\0');
        index = table[index];
    }
    content.resize(static_cast<std::size_t>(size));
    return content;
}

std::vector<std::string> OleCompoundFile::streamNames() const {
    std::vector<std::string> names;
    for (const Stream& stream : streams_) {
        names.push_back(stream.name);
    }
    return names;
}

const OleCompoundFile::Stream* OleCompoundFile::streamNamed(std::string_view name) const {
    for (const Stream& stream : streams_) {
        if (sameNameIgnoringCase(stream.name, name)) {
            return &stream;
        }
    }
    return nullptr;
}

bool OleCompoundFile::hasStream(std::string_view name) const {
    return streamNamed(name) != nullptr;
}

bool OleCompoundFile::holdsEncryptedPackage() const {
    return hasStream("EncryptionInfo") || hasStream("EncryptedPackage");
}

std::optional<std::string> OleCompoundFile::readStream(std::string_view name) const {
    const Stream* stream = streamNamed(name);
    if (!stream) {
        return std::nullopt;
    }
    return readChain(stream->firstSector, stream->size, stream->size < miniStreamCutoff_);
}

}  // namespace qm::intake
