#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/GroupStore.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::test {

// How many of the teacher's groups to make, and how large.
struct GroupMix {
    int apart = 0;         // 分开 groups, made first
    int together = 0;      // 同班 groups
    int largestApart = 4;  // a group has two students up to its largest (below two: none)
    int largestTogether = 3;
    int fixedPercent = 0;   // the chance that a group's last student is a fixed one instead
    int sharedMembers = 0;  // 分开 groups that also take the first student of a 同班 group
};

// The benchmarks' 200 groups: 120 分开 groups of two to four students, 80 同班 groups of two or
// three.
inline constexpr GroupMix kBenchmarkGroups{.apart = 120, .together = 80};

// Groups over distinct students, as a division can keep them: the students `free` (not fixed,
// sex 男 or 女) drawn in an order the seed shuffles; now and then one student of `fixed` (fixed
// to one of the classes) in place of a free one, never two in a group; a few students of 同班
// groups without a fixed student also in one 分开 group, never two of one 同班 group in it.
// Stops early when the free students run out. The same groups for the same arguments.
std::vector<store::NewGroup> makeGroups(std::vector<int> free, std::vector<int> fixed,
                                        const GroupMix& mix, std::uint32_t seed);

// Why each group of the project is not kept by its present classes; empty when all are kept.
std::vector<std::string> brokenGroups(db::Connection& connection,
                                      const store::CurrentProject& project);

}  // namespace qm::test
