#include "BiffRecords.h"

#include <cstring>

#include "UnicodeText.h"

namespace qm::intake {

double BiffBytes::f64(std::size_t at) const {
    std::uint64_t bits = 0;
    for (std::size_t k = 0; k < 8; ++k) {
        bits |= static_cast<std::uint64_t>(u8(at + k)) << (8 * k);
    }
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool BiffCursor::next(BiffRecord& record) {
    cutShort_ = false;
    if (next_ + 4 > bytes_.size()) {
        cutShort_ = next_ < bytes_.size();
        return false;
    }
    record.type = bytes_.u16(next_);
    record.length = bytes_.u16(next_ + 2);
    record.offset = next_;
    record.data = next_ + 4;
    if (record.length > bytes_.size() - record.data) {
        cutShort_ = true;
        return false;
    }
    next_ = record.data + record.length;
    return true;
}

bool BiffCursor::peek(BiffRecord& record) const {
    BiffCursor copy(bytes_, next_);
    return copy.next(record);
}

BiffContinuedData::BiffContinuedData(const BiffBytes& bytes, const BiffRecord& first,
                                     BiffCursor& cursor)
    : BiffContinuedData(bytes, first) {
    BiffRecord following;
    while (cursor.peek(following) && following.type == kBiffContinue) {
        cursor.next(following);
        parts_.emplace_back(following.data, following.length);
    }
}

BiffContinuedData::BiffContinuedData(const BiffBytes& bytes, const BiffRecord& only)
    : bytes_(bytes) {
    parts_.emplace_back(only.data, only.length);
}

bool BiffContinuedData::ensureByte() {
    while (part_ < parts_.size() && at_ >= parts_[part_].second) {
        ++part_;
        at_ = 0;
    }
    return part_ < parts_.size();
}

bool BiffContinuedData::atEnd() const {
    for (std::size_t p = part_; p < parts_.size(); ++p) {
        if ((p == part_ ? at_ : 0) < parts_[p].second) {
            return false;
        }
    }
    return true;
}

bool BiffContinuedData::u8(unsigned& value) {
    if (!ensureByte()) {
        return false;
    }
    value = bytes_.u8(parts_[part_].first + at_);
    ++at_;
    return true;
}

bool BiffContinuedData::u16(unsigned& value) {
    unsigned low = 0;
    unsigned high = 0;
    if (!u8(low) || !u8(high)) {
        return false;
    }
    value = low | (high << 8);
    return true;
}

bool BiffContinuedData::u32(std::uint32_t& value) {
    unsigned low = 0;
    unsigned high = 0;
    if (!u16(low) || !u16(high)) {
        return false;
    }
    value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
}

bool BiffContinuedData::skip(std::size_t count) {
    while (count > 0) {
        if (!ensureByte()) {
            return false;
        }
        const std::size_t step = std::min(count, parts_[part_].second - at_);
        at_ += step;
        count -= step;
    }
    return true;
}

bool BiffContinuedData::characters(std::size_t count, bool wide, Utf16Appender& out) {
    while (count > 0) {
        if (part_ < parts_.size() && at_ >= parts_[part_].second) {
            // The characters run on into the next record, which says how wide they are there.
            unsigned flags = 0;
            ++part_;
            at_ = 0;
            if (!u8(flags)) {
                return false;
            }
            wide = (flags & 0x01) != 0;
        }
        if (part_ >= parts_.size()) {
            return false;
        }
        const std::size_t width = wide ? 2 : 1;
        const std::size_t available = (parts_[part_].second - at_) / width;
        if (available == 0) {
            return false;  // half a character before the record ends
        }
        const std::size_t take = std::min(count, available);
        std::size_t at = parts_[part_].first + at_;
        for (std::size_t k = 0; k < take; ++k, at += width) {
            out.add(wide ? bytes_.u16(at) : bytes_.u8(at));
        }
        at_ += take * width;
        count -= take;
    }
    return true;
}

}  // namespace qm::intake
