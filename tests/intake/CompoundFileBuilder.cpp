#include "CompoundFileBuilder.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>

namespace qm::test {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kExtensionSector = 0xFFFFFFFC;
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::size_t kMiniStreamCutoff = 4096;
constexpr std::size_t kHeaderFatEntries = 109;

void put16(std::string& out, std::size_t at, unsigned value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

std::size_t sectorsFor(std::size_t bytes, std::size_t sectorSize) {
    return (bytes + sectorSize - 1) / sectorSize;
}

// Directory order: shorter names first, then by their capitals, as compound documents compare.
bool directoryBefore(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int x = std::toupper(static_cast<unsigned char>(a[i]));
        const int y = std::toupper(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    return false;
}

}  // namespace

std::string compoundFile(const std::vector<std::pair<std::string, std::string>>& streams,
                         unsigned sectorShift) {
    auto sorted = streams;
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return directoryBefore(a.first, b.first); });
    for (auto& [name, content] : sorted) {
        content.resize(std::max(content.size(), kMiniStreamCutoff), '\0');
    }

    std::size_t sectorSize = sectorShift == 0 ? 512 : std::size_t{1} << sectorShift;
    std::size_t dataSectors = 0;
    std::size_t directorySectors = 0;
    std::size_t fatSectors = 0;
    std::size_t extensionSectors = 0;
    for (;;) {
        dataSectors = 0;
        for (const auto& stream : sorted) {
            dataSectors += sectorsFor(stream.second.size(), sectorSize);
        }
        directorySectors = sectorsFor((sorted.size() + 1) * 128, sectorSize);
        const std::size_t perFatSector = sectorSize / 4;
        const std::size_t perExtension = perFatSector - 1;  // the last entry links the next
        fatSectors = 1;
        for (;;) {
            extensionSectors = fatSectors > kHeaderFatEntries
                                   ? sectorsFor(fatSectors - kHeaderFatEntries, perExtension)
                                   : 0;
            if (fatSectors * perFatSector >=
                dataSectors + directorySectors + fatSectors + extensionSectors) {
                break;
            }
            ++fatSectors;
        }
        if (fatSectors <= kHeaderFatEntries || sectorSize == 4096 || sectorShift != 0) {
            break;
        }
        sectorSize = 4096;
    }

    const std::size_t totalSectors = dataSectors + directorySectors + fatSectors + extensionSectors;
    std::string out((totalSectors + 1) * sectorSize, '\0');  // the header takes one sector
    const auto sectorOffset = [&](std::size_t sector) { return (sector + 1) * sectorSize; };
    std::vector<std::uint32_t> fat(fatSectors * sectorSize / 4, kFree);

    // The streams, each in a chain of consecutive sectors.
    std::vector<std::uint32_t> starts;
    std::size_t next = 0;
    for (const auto& stream : sorted) {
        const std::size_t count = sectorsFor(stream.second.size(), sectorSize);
        starts.push_back(static_cast<std::uint32_t>(next));
        out.replace(sectorOffset(next), stream.second.size(), stream.second);
        for (std::size_t k = 0; k < count; ++k) {
            fat[next + k] = k + 1 < count ? static_cast<std::uint32_t>(next + k + 1) : kEndOfChain;
        }
        next += count;
    }

    // The directory: the root entry, then the streams, each the right sibling of the one before.
    const std::size_t directoryStart = next;
    for (std::size_t k = 0; k < directorySectors; ++k) {
        fat[next + k] =
            k + 1 < directorySectors ? static_cast<std::uint32_t>(next + k + 1) : kEndOfChain;
    }
    for (std::size_t entry = 0; entry <= sorted.size(); ++entry) {
        const std::size_t at = sectorOffset(directoryStart) + entry * 128;
        const std::string name = entry == 0 ? "Root Entry" : sorted[entry - 1].first;
        for (std::size_t i = 0; i < name.size() && i < 31; ++i) {
            put16(out, at + 2 * i, static_cast<unsigned char>(name[i]));
        }
        put16(out, at + 64,
              static_cast<unsigned>((std::min<std::size_t>(name.size(), 31) + 1) * 2));
        out[at + 66] = static_cast<char>(entry == 0 ? 5 : 2);  // root storage, or stream
        out[at + 67] = 1;                                      // black
        put32(out, at + 68, kFree);                            // left sibling
        put32(out, at + 72,
              entry >= 1 && entry < sorted.size() ? static_cast<std::uint32_t>(entry + 1) : kFree);
        put32(out, at + 76, entry == 0 && !sorted.empty() ? 1 : kFree);  // child
        put32(out, at + 116, entry == 0 ? kEndOfChain : starts[entry - 1]);
        put32(out, at + 120,
              entry == 0 ? 0 : static_cast<std::uint32_t>(sorted[entry - 1].second.size()));
    }
    next += directorySectors;

    // The sector allocation table, in the sectors after the directory.
    const std::size_t fatStart = next;
    for (std::size_t k = 0; k < fatSectors; ++k) {
        fat[fatStart + k] = kFatSector;
    }
    // The extension sectors after them: the numbers of the table's sectors beyond the header's
    // 109, each sector ending with the number of the next.
    const std::size_t extensionStart = fatStart + fatSectors;
    const std::size_t perExtension = sectorSize / 4 - 1;
    for (std::size_t k = 0; k < extensionSectors; ++k) {
        fat[extensionStart + k] = kExtensionSector;
        const std::size_t at = sectorOffset(extensionStart + k);
        for (std::size_t i = 0; i < perExtension; ++i) {
            const std::size_t listed = kHeaderFatEntries + k * perExtension + i;
            put32(out, at + 4 * i,
                  listed < fatSectors ? static_cast<std::uint32_t>(fatStart + listed) : kFree);
        }
        put32(out, at + 4 * perExtension,
              k + 1 < extensionSectors ? static_cast<std::uint32_t>(extensionStart + k + 1)
                                       : kEndOfChain);
    }
    for (std::size_t i = 0; i < fat.size(); ++i) {
        put32(out, (fatStart + 1) * sectorSize + 4 * i, fat[i]);
    }

    // The header.
    out.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    put16(out, 0x18, 0x003E);
    put16(out, 0x1A, sectorSize == 4096 ? 4 : 3);
    put16(out, 0x1C, 0xFFFE);
    put16(out, 0x1E, static_cast<unsigned>(std::countr_zero(sectorSize)));
    put16(out, 0x20, 6);
    put32(out, 0x28, sectorSize == 4096 ? static_cast<std::uint32_t>(directorySectors) : 0);
    put32(out, 0x2C, static_cast<std::uint32_t>(fatSectors));
    put32(out, 0x30, static_cast<std::uint32_t>(directoryStart));
    put32(out, 0x38, kMiniStreamCutoff);
    put32(out, 0x3C, kEndOfChain);
    put32(out, 0x44, extensionSectors > 0 ? static_cast<std::uint32_t>(extensionStart) : kEndOfChain);
    put32(out, 0x48, static_cast<std::uint32_t>(extensionSectors));
    for (std::size_t k = 0; k < kHeaderFatEntries; ++k) {
        put32(out, 0x4C + 4 * k,
              k < fatSectors ? static_cast<std::uint32_t>(fatStart + k) : kFree);
    }
    return out;
}

}  // namespace qm::test
