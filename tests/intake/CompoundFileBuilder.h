#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qm::test {

// Writes a compound document byte by byte, as the container of .xls workbooks is laid out: a
// header, the streams in sectors chained by the sector allocation table, and a directory of the
// top-level streams. Streams shorter than 4,096 bytes are padded with zeros to that length, so
// that every stream lies in ordinary sectors. Documents too big for 512-byte sectors use
// 4,096-byte sectors (version 4), unless `sectorShift` asks for a size (2 to the power of it): then
// the sectors of the allocation table beyond the 109 the header lists are listed in a chain of
// extension sectors. Names are given in ASCII and kept in their letter case.
std::string compoundFile(const std::vector<std::pair<std::string, std::string>>& streams,
                         unsigned sectorShift = 0);

}  // namespace qm::test
