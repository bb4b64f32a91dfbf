#pragma once

#include <cstddef>
#include <cstdint>

namespace qm::codepages {

// The tables of one code page, generated from glibc's iconv (tools/codepages). Characters are
// UTF-16 code units of the Basic Multilingual Plane; 0xFFFF marks a byte or pair that is not
// valid.
struct CodePageTable {
    unsigned number;
    const std::uint16_t* single;  // 256: the character of each single byte
    const std::uint16_t* rowOf;   // 256: the row of a lead byte in `rows`, 0xFFFF for none
    const std::uint16_t* rows;    // 256 per lead byte: the character of each second byte;
                                  // 0xFFFE for the second byte of a four-byte code (GB18030:
                                  // see kGb18030FourByteRuns),
                                  // 0xFFFD for a character beyond the plane (see `wide`)
    // Pairs of single bytes read as one character (a letter and its combining mark), each
    // first << 24 | second << 16 | character, ascending.
    const std::uint32_t* compositions;
    std::size_t compositionCount;
    // Byte pairs read as characters beyond the Basic Multilingual Plane: pairs of
    // (lead << 8 | second byte, character), ascending.
    const std::uint32_t* wide;
    std::size_t wideCount;
};

}  // namespace qm::codepages
