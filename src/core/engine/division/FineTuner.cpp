#include "engine/division/FineTuner.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/division/GroupExchangeRule.h"

namespace qm::engine {

namespace {

constexpr double kUnitRoundoff = std::numeric_limits<double>::epsilon() / 2;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// True when every partial sum of these values, in any order, is exact in a double: all are
// multiples of 1/256 and their magnitudes add up to well below 2^53 / 256.
bool sumsAreExact(const std::vector<ClassTally>& classes, int quantity) {
    double magnitudes = 0;
    for (const auto& tally : classes) {
        for (const PassStudent* student : tally.students) {
            const double value = student->quantity(quantity);
            const double scaled = value * 256;
            if (!(std::fabs(value) < 0x1p30) || scaled != std::floor(scaled)) {
                return false;
            }
            magnitudes += std::fabs(value);
        }
    }
    return magnitudes < 0x1p40;
}

}  // namespace

FineTuner::FineTuner(std::vector<ClassTally>& classes, const TuningRules& rules,
                     const CohortFigures& figures)
    : classes_(classes), rules_(rules), figures_(figures), surplus_(classes, figures.targets) {
    // The subject balance adds the gains of Chinese, mathematics and English (when their
    // settings are on), then always of the other six, in this order.
    if (rules_.avgChinese) {
        gainOrder_.push_back(kChinese);
    }
    if (rules_.avgMath) {
        gainOrder_.push_back(kMath);
    }
    if (rules_.avgEnglish) {
        gainOrder_.push_back(kEnglish);
    }
    for (int s : {kWuli, kZhengzhi, kLishi, kTiyu, kDili, kShengwu}) {
        gainOrder_.push_back(s);
    }
    for (int q = 0; q < kQuantityCount; ++q) {
        exactSums_[q] = sumsAreExact(classes_, q);
    }
    const int classCount = static_cast<int>(classes_.size());
    views_.resize(classes_.size());
    for (int c = 0; c < classCount; ++c) {
        const ClassTally& tally = classes_[c];
        views_[c].positionOfSlot.assign(tally.students.size(), -1);
        for (int slot = 0; slot < tally.count(); ++slot) {
            const PassStudent* student = tally.students[slot];
            if (!student->movable() || student->sexKey < 0) {
                continue;
            }
            if (student->sexKey >= static_cast<int>(sexes_.size())) {
                sexes_.resize(static_cast<std::size_t>(student->sexKey) + 1);
            }
            TuningCandidates& candidates = sexes_[student->sexKey];
            views_[c].positionOfSlot[slot] = candidates.size();
            candidates.add(c, slot, *student);
        }
    }
    for (TuningCandidates& candidates : sexes_) {
        candidates.finish(classCount);
    }
}

TuningCounts FineTuner::runPass(const std::function<void()>& checkpoint) {
    TuningCounts counts;
    const int classCount = static_cast<int>(classes_.size());
    for (int i = 0; i < classCount; ++i) {
        for (int k = 0; k < classes_[i].count(); ++k) {
            // Whether a slot takes part is decided once, when the scan reaches it.
            const PassStudent* occupant = classes_[i].students[k];
            if (occupant->adjusted != 0 || !occupant->movable()) {
                continue;
            }
            checkpoint();
            scanSlot(i, k, counts);
        }
    }
    for (auto& tally : classes_) {
        for (PassStudent* student : tally.students) {
            student->adjusted = 0;
        }
    }
    return counts;
}

// Tries every candidate for slot k of class i in scan order. While the slot's first occupant is
// there and only class i has to pass, one window of totals and one band score per candidate hold
// for all classes: the candidates inside the window are picked out through the order of all by
// total (a narrow window) or by walking all in scan order (a wide one). Once the occupant has
// changed (or in a re-division) each class gets its own window and the candidates inside it are
// picked out through the class's order by total.
void FineTuner::scanSlot(int i, int k, TuningCounts& counts) {
    const PassStudent& occupant = *classes_[i].students[k];
    if (occupant.sexKey >= static_cast<int>(sexes_.size())) {
        return;
    }
    const TuningCandidates& candidates = sexes_[occupant.sexKey];
    if (secondDecides(occupant)) {
        scanClassesFrom(i, k, 0, candidates.classBegin(0), counts);
        return;
    }
    const Window window = totalWindow(i, i, occupant);
    const auto inWindow = candidates.within(window.low, window.high);
    const int kept = inWindow.size() * 8 > static_cast<std::size_t>(candidates.size())
                         ? firstKeptInScanOrder(i, k, window, counts)
                         : firstKeptOf(i, k, inWindow, counts);
    if (kept >= 0) {
        // The slot has a new occupant: the rest is scanned class by class.
        scanClassesFrom(i, k, candidates.classOf(kept), kept + 1, counts);
    }
}

// The candidates of a narrow window, tried in scan order; the position of the first exchange
// kept, or -1.
int FineTuner::firstKeptOf(int i, int k, std::span<const TuningCandidates::Entry> inWindow,
                           TuningCounts& counts) {
    const PassStudent& occupant = *classes_[i].students[k];
    const TuningCandidates& candidates = sexes_[occupant.sexKey];
    picked_.clear();
    for (const auto& entry : inWindow) {
        if (candidates.classOf(entry.position) == i) {
            continue;
        }
        if (const auto bands = deciderBandScore(i, i, occupant, entry.bands)) {
            picked_.emplace_back(entry.position, *bands);
        }
    }
    if (picked_.size() > 1) {
        std::sort(picked_.begin(), picked_.end());
    }
    for (const auto& [position, bands] : picked_) {
        if (tryCandidate(i, k, candidates.classOf(position), candidates.slotOf(position), bands,
                         counts)) {
            return position;
        }
    }
    return -1;
}

// The candidates of a wide window: every student of the other classes in scan order, its total
// compared with the window.
int FineTuner::firstKeptInScanOrder(int i, int k, Window window, TuningCounts& counts) {
    const PassStudent& occupant = *classes_[i].students[k];
    const TuningCandidates& candidates = sexes_[occupant.sexKey];
    const int classCount = static_cast<int>(classes_.size());
    for (int j = 0; j < classCount; ++j) {
        if (j == i) {
            continue;
        }
        for (int p = candidates.classBegin(j); p < candidates.classBegin(j + 1); ++p) {
            const double total = candidates.total(p);
            if (total < window.low || total > window.high) {
                continue;
            }
            const auto bands = deciderBandScore(i, i, occupant, candidates.bands(p));
            if (bands && tryCandidate(i, k, j, candidates.slotOf(p), *bands, counts)) {
                return p;
            }
        }
    }
    return -1;
}

void FineTuner::scanClassesFrom(int i, int k, int j, int position, TuningCounts& counts) {
    const TuningCandidates& candidates = sexes_[classes_[i].students[k]->sexKey];
    for (; j < static_cast<int>(classes_.size()); ++j) {
        if (j != i) {
            scanClassFrom(i, k, j, position, counts);
        }
        position = candidates.classBegin(j + 1);
    }
}

// Tries the candidates of class j from a position on that lie in the class's window; after a kept
// exchange the window is drawn again for the new occupant and the rest of the class.
void FineTuner::scanClassFrom(int i, int k, int j, int position, TuningCounts& counts) {
    const TuningCandidates& candidates = sexes_[classes_[i].students[k]->sexKey];
    const int end = candidates.classBegin(j + 1);
    while (position < end) {
        const PassStudent& occupant = *classes_[i].students[k];
        const Window window = totalWindow(i, j, occupant);
        classPicked_.clear();
        if (rules_.avgTotal) {
            for (const auto& ranked : candidates.withinClass(j, window.low, window.high)) {
                if (ranked.position >= position) {
                    classPicked_.push_back(ranked.position);
                }
            }
            if (classPicked_.size() > 1) {
                std::sort(classPicked_.begin(), classPicked_.end());
            }
        } else {
            // Without the total condition every candidate is in the window.
            for (int p = position; p < end; ++p) {
                classPicked_.push_back(p);
            }
        }
        position = end;
        for (const int p : classPicked_) {
            const auto bands = deciderBandScore(i, j, occupant, candidates.bands(p));
            if (bands && tryCandidate(i, k, j, candidates.slotOf(p), *bands, counts)) {
                position = p + 1;
                break;
            }
        }
    }
}

// Class j is tested first when it has to pass too: it passing is counted even when class i then
// fails. The order of the other tests changes nothing.
bool FineTuner::tryCandidate(int i, int k, int j, int l, int deciderBands, TuningCounts& counts) {
    PassStudent* a = classes_[i].students[k];
    PassStudent* b = classes_[j].students[l];
    if (secondDecides(*a)) {
        if (!passes(j, l, *b, *a, deciderBands) || !exchangeAllowed(i, j, *a, *b)) {
            return false;
        }
        ++counts.requalified;
        if (!passes(i, k, *a, *b, rules_.avgBands ? bandScore(i, a->bands, b->bands) : 0)) {
            return false;
        }
    } else if (!passes(i, k, *a, *b, deciderBands) || !exchangeAllowed(i, j, *a, *b)) {
        return false;
    }
    exchange(i, k, j, l);
    ++counts.swaps;
    a->adjusted = 1;
    b->adjusted = 1;
    return true;
}

bool FineTuner::secondDecides(const PassStudent& occupant) const {
    return rules_.isRefb || occupant.adjusted == 1;
}

// The band score of the deciding class, nothing when it is below 0. The occupant's side is looked
// up once for the candidates that follow.
std::optional<int> FineTuner::deciderBandScore(int i, int j, const PassStudent& occupant,
                                               const std::array<int, kSubjectCount>& bands) {
    if (!rules_.avgBands) {
        return 0;
    }
    const bool enters = secondDecides(occupant);
    const int c = enters ? j : i;
    const BandQuestion question{c, views_[c].version, &occupant, enters};
    const bool held = surplus_.holdsEveryBand();
    if (!(question == bandQuestion_) && held) {
        answers_ = surplus_.answersFor(c, occupant, enters);
    }
    bandQuestion_ = question;
    const int score = held     ? answers_.score(bands)
                      : enters ? bandScore(c, bands, occupant.bands)
                               : bandScore(c, occupant.bands, bands);
    if (score < 0) {
        return std::nullopt;
    }
    return score;
}

bool FineTuner::exchangeAllowed(int i, int j, const PassStudent& a, const PassStudent& b) const {
    return !a.sameScores(b) && !pinyinClash(i, j, a, b) &&
           (!rules_.keepGroups || exchangeKeepsGroups(classes_[i], a, classes_[j], b));
}

// The totals a candidate may have and still pass the total-average condition of the class that
// decides first (the second class once both must pass, since it is tested first); a little wider
// than needed, so it never turns away a candidate the condition would accept.
FineTuner::Window FineTuner::totalWindow(int i, int j, const PassStudent& occupant) {
    if (!rules_.avgTotal) {
        return {-kInfinity, kInfinity};
    }
    const bool second = secondDecides(occupant);
    const int c = second ? j : i;
    const ClassTally& tally = classes_[c];
    const double n = tally.count();
    const double cohort = figures_.averages[kTotal];
    const KeptSum& sum = tally.keptSum(kTotal);
    const double reach =
        before(c).magnitude[kTotal] +
        1e-7 * (1 + std::fabs(cohort) + (sum.magnitudes() + std::fabs(occupant.total)) / n);
    double low;
    double high;
    if (second) {
        // The occupant joins class j and the candidate leaves it.
        const double base = cohort - (sum.value() + occupant.total) / n;
        low = n * (-base - reach);
        high = n * (-base + reach);
    } else {
        const double base = cohort - (sum.value() - occupant.total) / n;
        low = n * (base - reach);
        high = n * (base + reach);
    }
    const double margin = 1e-9 * (std::fabs(low) + std::fabs(high) + 1);
    return {low - margin, high + margin};
}

bool FineTuner::pinyinClash(int i, int j, const PassStudent& a, const PassStudent& b) const {
    const int same = a.pinyinKey == b.pinyinKey ? 1 : 0;
    return classes_[i].pinyinCount(b.pinyinKey) - same > 0 ||
           classes_[j].pinyinCount(a.pinyinKey) - same > 0;
}

bool FineTuner::passes(int c, int slot, const PassStudent& leaving, const PassStudent& entering,
                       int bands) {
    const ClassTally& tally = classes_[c];
    if (rules_.avgBands && bands < 0) {
        return false;
    }
    const Deviations& was = before(c);
    const double n = tally.count();
    bool certain = true;
    auto after = [&](int q) {
        const double sum = tally.keptSum(q).value() - leaving.quantity(q) + entering.quantity(q);
        return figures_.averages[q] - sum / n;
    };
    auto afterError = [&](int q) {
        return errorBound(tally.count(),
                          tally.keptSum(q).magnitudes() + std::fabs(leaving.quantity(q)) +
                              std::fabs(entering.quantity(q)),
                          q);
    };
    if (rules_.avgTotal && leaving.total != entering.total) {
        const double now = std::fabs(after(kTotal));
        const double difference = was.magnitude[kTotal] - now;
        const double error = was.error[kTotal] + afterError(kTotal);
        if (error == 0) {
            if (difference < 0) {
                return false;
            }
        } else {
            const double bound = error + 4 * kUnitRoundoff * (was.magnitude[kTotal] + now);
            if (difference < -bound) {
                return false;
            }
            if (difference <= bound) {
                certain = false;
            }
        }
    }
    double gain = 0;
    double error = 0;
    double magnitudes = 0;
    for (int q : gainOrder_) {
        if (leaving.quantity(q) == entering.quantity(q)) {
            continue;  // the class's sum of this subject stays exactly as it was
        }
        const double now = std::fabs(after(q));
        gain += was.magnitude[q] - now;
        error += was.error[q] + afterError(q);
        magnitudes += was.magnitude[q] + now + std::fabs(gain);
    }
    if (error == 0) {
        if (gain < 0) {
            return false;
        }
    } else {
        const double bound = error * (1 + 1e-9) + 4 * kUnitRoundoff * magnitudes;
        if (gain < -bound) {
            return false;
        }
        if (gain <= bound) {
            certain = false;
        }
    }
    return certain || passesByWalking(c, slot, entering, bands);
}

// The class test computed as the rules state it, by walking the class before and after the
// exchange; used only when the kept sums cannot decide.
bool FineTuner::passesByWalking(int c, int slot, const PassStudent& entering, int bandScore) const {
    const ClassTally& tally = classes_[c];
    auto deviation = [&](int q, const PassStudent* substitute) {
        return figures_.averages[q] -
               tally.walkedSum(q, substitute ? slot : -1, substitute) / tally.count();
    };
    if (rules_.avgTotal &&
        std::fabs(deviation(kTotal, nullptr)) < std::fabs(deviation(kTotal, &entering))) {
        return false;
    }
    double gain = 0;
    for (int q : gainOrder_) {
        gain += std::fabs(deviation(q, nullptr)) - std::fabs(deviation(q, &entering));
    }
    return gain >= 0 && (!rules_.avgBands || bandScore >= 0);
}

int FineTuner::bandScore(int c, const std::array<int, kSubjectCount>& leaving,
                         const std::array<int, kSubjectCount>& entering) const {
    const ClassTally& tally = classes_[c];
    int score = 0;
    for (int s = 0; s < kSubjectCount; ++s) {
        if (leaving[s] != entering[s]) {
            score += tally.bandSwapAnswer(surplus_.at(c, static_cast<Subject>(s), leaving[s]),
                                          surplus_.at(c, static_cast<Subject>(s), entering[s]));
        }
    }
    return score;
}

const FineTuner::Deviations& FineTuner::before(int c) {
    ClassView& view = views_[c];
    if (view.stale) {
        const ClassTally& tally = classes_[c];
        for (int q = 0; q < kQuantityCount; ++q) {
            const KeptSum& sum = tally.keptSum(q);
            view.before.magnitude[q] =
                std::fabs(figures_.averages[q] - sum.value() / tally.count());
            view.before.error[q] = errorBound(tally.count(), sum.magnitudes(), q);
        }
        view.stale = false;
    }
    return view.before;
}

// How far a deviation computed from a kept sum may lie from the one computed by adding the
// class's values left to right: 0 when such sums are exact, else a generous bound on the
// rounding of a left-to-right sum of count values of these magnitudes, plus the rounding of the
// division and subtraction in both computations.
double FineTuner::errorBound(int count, double magnitudes, int quantity) const {
    if (exactSums_[quantity]) {
        return 0;
    }
    const double n = count;
    return 2 * (n + 4) * kUnitRoundoff *
           (magnitudes / n + std::fabs(static_cast<double>(figures_.averages[quantity])) + 1);
}

void FineTuner::exchange(int i, int k, int j, int l) {
    PassStudent* a = classes_[i].students[k];
    PassStudent* b = classes_[j].students[l];
    classes_[i].replace(k, b);
    classes_[j].replace(l, a);
    surplus_.replaced(i, *a, *b);
    surplus_.replaced(j, *b, *a);
    sexes_[a->sexKey].exchange(views_[i].positionOfSlot[k], views_[j].positionOfSlot[l]);
    for (ClassView* view : {&views_[i], &views_[j]}) {
        view->stale = true;
        ++view->version;
    }
}

}  // namespace qm::engine
