#pragma once

namespace qm::store {

// Bounds that no school reaches, the same for the desktop program and the command line. A value
// outside them is refused with a message before anything changes: a class count of two thousand
// million would otherwise make a division run out of memory, and a fine-tuning count of a million
// would make it run for minutes.
inline constexpr int kMinClassCount = 1;
inline constexpr int kMaxClassCount = 999;
inline constexpr int kMinTuningCount = 0;  // wtNum: fine-tuning passes are wtNum + 1
inline constexpr int kMaxTuningCount = 1000;
inline constexpr int kMinBandTolerance = 1;  // inter: band tolerance of the score-band rule
inline constexpr int kMaxBandTolerance = 1000;
// A score is refused beyond this magnitude, either way, at import, in the student list and by a
// division: its bands would fit no table.
inline constexpr double kLargestScore = 100000;

}  // namespace qm::store
