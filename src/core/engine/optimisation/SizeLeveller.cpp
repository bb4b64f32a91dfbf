#include "engine/optimisation/SizeLeveller.h"

#include <algorithm>
#include <map>
#include <string>

namespace qm::engine {

namespace {

constexpr int kBoys = 0;
constexpr int kGirls = 1;

}  // namespace

SizeLeveller::SizeLeveller(const PlacedCohort& cohort, ExchangeState& state)
    : cohort_(cohort), state_(state), sizes_(static_cast<std::size_t>(cohort.classCount), 0) {
    std::map<std::string, int> categories;
    for (const auto& student : cohort.students) {
        if (!student.category.empty()) {
            categories.try_emplace(student.category, 0);
        }
    }
    for (auto& [label, kind] : categories) {
        kind = static_cast<int>(kindCount_++);
    }
    for (const auto& student : cohort.students) {
        categoryKind_.push_back(student.category.empty() ? -1 : categories.at(student.category));
    }
    counts_.assign(static_cast<std::size_t>(cohort.classCount) * kindCount_, 0);
    std::vector<int> totals(kindCount_, 0);
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        const int c = state.classOf(static_cast<int>(i));
        ++sizes_[static_cast<std::size_t>(c)];
        for (int kind : kindsOf(static_cast<int>(i))) {
            if (kind >= 0) {
                ++counts_[static_cast<std::size_t>(c) * kindCount_ +
                          static_cast<std::size_t>(kind)];
                ++totals[static_cast<std::size_t>(kind)];
            }
        }
    }
    spreads_ = CellSpreads(counts_, cohort.classCount, totals);
    for (std::size_t kind = 0; kind < kindCount_; ++kind) {
        limits_.push_back(spreads_.spread(static_cast<int>(kind)));
    }
}

std::array<int, 2> SizeLeveller::kindsOf(int student) const {
    const std::string& sex = cohort_.students[static_cast<std::size_t>(student)].sex;
    return {sex == "男"   ? kBoys
            : sex == "女" ? kGirls
                          : -1,
            categoryKind_[static_cast<std::size_t>(student)]};
}

bool SizeLeveller::keepsSpreads(std::initializer_list<std::array<int, 3>> moves) const {
    // Net head count changes per kind and class: a student leaves one class and joins another,
    // so after netting every kind falls in one class and rises in one other at most.
    std::map<std::pair<int, int>, int> net;
    for (const auto& [student, from, to] : moves) {
        for (int kind : kindsOf(student)) {
            if (kind >= 0) {
                --net[{kind, from}];
                ++net[{kind, to}];
            }
        }
    }
    std::map<int, std::pair<int, int>> shifts;  // per kind: falling class, rising class
    for (const auto& [place, delta] : net) {
        if (delta != 0) {
            auto& shift = shifts.try_emplace(place.first, -1, -1).first->second;
            (delta < 0 ? shift.first : shift.second) = place.second;
        }
    }
    for (const auto& [kind, shift] : shifts) {
        const int after =
            spreads_.spreadAfter(kind, count(shift.first, kind), count(shift.second, kind));
        if (after > limits_[static_cast<std::size_t>(kind)]) {
            return false;
        }
    }
    return true;
}

std::vector<std::vector<int>> SizeLeveller::movableByClass() const {
    std::vector<std::vector<int>> byClass(sizes_.size());
    for (int student : state_.movable()) {
        byClass[static_cast<std::size_t>(state_.classOf(student))].push_back(student);
    }
    return byClass;
}

void SizeLeveller::tryDirect(int from, int to, Choice& best) const {
    for (int student : byClass_[static_cast<std::size_t>(from)]) {
        if (!keepsSpreads({{student, from, to}})) {
            continue;
        }
        const double change = state_.moveChange(student, to);
        if (change < best.change) {
            best = {change, {student, to}, {}};
        }
    }
}

void SizeLeveller::tryChain(int from, int to, Choice& best) {
    for (int via = 0; via < static_cast<int>(sizes_.size()); ++via) {
        if (via == from || via == to) {
            continue;
        }
        for (int first : byClass_[static_cast<std::size_t>(from)]) {
            const double firstChange = state_.moveChange(first, via);
            if (firstChange == BalanceObjective::kForbidden) {
                continue;
            }
            state_.move(first, via);
            for (int second : byClass_[static_cast<std::size_t>(via)]) {
                if (!keepsSpreads({{first, from, via}, {second, via, to}})) {
                    continue;
                }
                const double change = firstChange + state_.moveChange(second, to);
                if (change < best.change) {
                    best = {change, {first, via}, {second, to}};
                }
            }
            state_.move(first, from);
        }
    }
}

void SizeLeveller::make(const Move& move) {
    const int from = state_.classOf(move.student);
    for (int kind : kindsOf(move.student)) {
        if (kind >= 0) {
            spreads_.shift(kind, count(from, kind), count(move.to, kind));
            --counts_[static_cast<std::size_t>(from) * kindCount_ + static_cast<std::size_t>(kind)];
            ++counts_[static_cast<std::size_t>(move.to) * kindCount_ +
                      static_cast<std::size_t>(kind)];
        }
    }
    --sizes_[static_cast<std::size_t>(from)];
    ++sizes_[static_cast<std::size_t>(move.to)];
    state_.move(move.student, move.to);
}

int SizeLeveller::run() {
    int moves = 0;
    const int classCount = static_cast<int>(sizes_.size());
    for (;;) {
        const auto [smallest, largest] = std::minmax_element(sizes_.begin(), sizes_.end());
        const int widest = *largest - *smallest;
        if (widest <= 1) {
            break;
        }
        byClass_ = movableByClass();
        Choice best;
        // Every move from a class to one at least two smaller brings the sizes closer; the
        // widest gaps first, a chain through a third class only where no single move exists.
        for (bool chains : {false, true}) {
            for (int gap = widest; gap >= 2 && best.first.student < 0; --gap) {
                for (int from = 0; from < classCount; ++from) {
                    for (int to = 0; to < classCount; ++to) {
                        if (sizes_[static_cast<std::size_t>(from)] -
                                sizes_[static_cast<std::size_t>(to)] ==
                            gap) {
                            chains ? tryChain(from, to, best) : tryDirect(from, to, best);
                        }
                    }
                }
            }
            if (best.first.student >= 0) {
                break;
            }
        }
        if (best.first.student < 0) {
            break;
        }
        make(best.first);
        ++moves;
        if (best.second.student >= 0) {
            make(best.second);
            ++moves;
        }
    }
    state_.refresh();
    return moves;
}

}  // namespace qm::engine
