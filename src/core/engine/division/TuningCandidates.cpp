#include "engine/division/TuningCandidates.h"

#include <algorithm>
#include <utility>

namespace qm::engine {

void TuningCandidates::add(int classIndex, int slot, const PassStudent& student) {
    while (static_cast<int>(classBegin_.size()) <= classIndex) {
        classBegin_.push_back(size());
    }
    byTotal_.push_back(Entry{student.total, size(), student.bands});
    classOf_.push_back(classIndex);
    slotOf_.push_back(slot);
    totals_.push_back(student.total);
}

void TuningCandidates::finish(int classCount) {
    while (static_cast<int>(classBegin_.size()) <= classCount) {
        classBegin_.push_back(size());
    }
    std::stable_sort(byTotal_.begin(), byTotal_.end(),
                     [](const Entry& a, const Entry& b) { return a.total < b.total; });
    rank_.assign(byTotal_.size(), 0);
    for (std::size_t e = 0; e < byTotal_.size(); ++e) {
        rank_[static_cast<std::size_t>(byTotal_[e].position)] = static_cast<int>(e);
    }
    classByTotal_.resize(byTotal_.size());
    std::vector<int> filled(classBegin_.begin(), classBegin_.end() - 1);
    for (const Entry& entry : byTotal_) {
        classByTotal_[filled[classOf_[entry.position]]++] = Ranked{entry.total, entry.position};
    }
}

std::span<const TuningCandidates::Entry> TuningCandidates::within(double low, double high) const {
    const auto first = std::lower_bound(byTotal_.begin(), byTotal_.end(), low,
                                        [](const Entry& e, double t) { return e.total < t; });
    const auto last = std::upper_bound(first, byTotal_.end(), high,
                                       [](double t, const Entry& e) { return t < e.total; });
    return {first, last};
}

// A search without jumps that depend on the totals: the classes are small, and which way each
// comparison goes cannot be foreseen.
std::span<const TuningCandidates::Ranked> TuningCandidates::withinClass(int classIndex, double low,
                                                                        double high) const {
    const Ranked* const begin = classByTotal_.data() + classBegin_[classIndex];
    const Ranked* const end = classByTotal_.data() + classBegin_[classIndex + 1];
    if (begin == end) {
        return {};
    }
    const Ranked* first = begin;
    for (std::size_t length = static_cast<std::size_t>(end - begin); length > 1;) {
        const std::size_t half = length / 2;
        first = first[half].total < low ? first + half : first;
        length -= half;
    }
    first += first->total < low ? 1 : 0;
    const Ranked* last = first;
    while (last != end && last->total <= high) {
        ++last;
    }
    return {first, last};
}

void TuningCandidates::exchange(int first, int second) {
    const double firstTotal = totals_[first];
    retotal(first, totals_[second]);
    retotal(second, firstTotal);
    std::swap(byTotal_[rank_[first]].position, byTotal_[rank_[second]].position);
    std::swap(rank_[first], rank_[second]);
}

void TuningCandidates::retotal(int position, double total) {
    totals_[position] = total;
    Ranked* const begin = classByTotal_.data() + classBegin_[classOf_[position]];
    Ranked* const end = classByTotal_.data() + classBegin_[classOf_[position] + 1];
    Ranked* at =
        std::find_if(begin, end, [position](const Ranked& r) { return r.position == position; });
    at->total = total;
    while (at != begin && (at - 1)->total > total) {
        std::swap(*at, *(at - 1));
        --at;
    }
    while (at + 1 != end && (at + 1)->total < total) {
        std::swap(*at, *(at + 1));
        ++at;
    }
}

}  // namespace qm::engine
