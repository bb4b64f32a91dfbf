#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace qm::intake {

class Utf16Appender;

// Little-endian values in a workbook stream. The caller checks that the bytes are there.
class BiffBytes {
  public:
    explicit BiffBytes(std::string_view bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    unsigned u8(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }
    unsigned u16(std::size_t at) const { return u8(at) | (u8(at + 1) << 8); }
    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint32_t>(u16(at)) |
               (static_cast<std::uint32_t>(u16(at + 2)) << 16);
    }
    double f64(std::size_t at) const;

  private:
    std::string_view bytes_;
};

// One record of a workbook stream: its type, and where its data lie.
struct BiffRecord {
    unsigned type = 0;
    std::size_t offset = 0;  // of the record's header
    std::size_t data = 0;
    std::size_t length = 0;
};

// Walks the records from an offset. A record whose length runs past the end of the stream is
// not given: the cursor then reports the stream as cut short.
class BiffCursor {
  public:
    BiffCursor(const BiffBytes& bytes, std::size_t offset) : bytes_(bytes), next_(offset) {}

    bool next(BiffRecord& record);
    // The record after the last one given, without moving on.
    bool peek(BiffRecord& record) const;
    // True when the last call to next stopped at a record running past the end of the stream.
    bool cutShort() const { return cutShort_; }

  private:
    const BiffBytes& bytes_;
    std::size_t next_;
    bool cutShort_ = false;
};

// The record types every part of the reader meets: the beginning and end of a substream, and
// the continuation of a record too long for one.
inline constexpr unsigned kBiffBof = 0x0809;
inline constexpr unsigned kBiffEof = 0x000A;
inline constexpr unsigned kBiffContinue = 0x003C;

// The data of a record together with the CONTINUE records that follow it, read as one sequence
// (the shared strings and a formula's text result may run on over several records). Where text
// characters run on into the next record, that record starts with a byte saying whether the
// characters go on in one byte or two. Every read reports whether the data were there.
class BiffContinuedData {
  public:
    // Takes `first` and every CONTINUE record after it from the cursor.
    BiffContinuedData(const BiffBytes& bytes, const BiffRecord& first, BiffCursor& cursor);
    // Only the one record.
    BiffContinuedData(const BiffBytes& bytes, const BiffRecord& only);

    bool atEnd() const;
    bool u8(unsigned& value);
    bool u16(unsigned& value);
    bool u32(std::uint32_t& value);
    bool skip(std::size_t count);
    // Reads `count` characters of one byte each (wide false) or of two, into `out`.
    bool characters(std::size_t count, bool wide, Utf16Appender& out);

  private:
    // Moves into the next record when the present one is used up; false at the end.
    bool ensureByte();

    const BiffBytes& bytes_;
    std::vector<std::pair<std::size_t, std::size_t>> parts_;  // data offset and length
    std::size_t part_ = 0;
    std::size_t at_ = 0;  // within the present part
};

}  // namespace qm::intake
