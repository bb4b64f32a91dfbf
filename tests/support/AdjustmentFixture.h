#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "store/GroupStore.h"
#include "store/ProjectStore.h"
#include "support/TempDatabase.h"

namespace qm::test {

// A project of three classes after a division: students 1 to 12, student i in class
// (i - 1) % 3 + 1, boys the odd numbers, placed (type 1), scores rising with the number.
class AdjustmentFixture : public ::testing::Test {
  protected:
    AdjustmentFixture();

    db::Connection& connection() { return database.connection(); }
    // The class of every student, by number.
    std::map<int, int> classes();
    // The class and type of every student, as "1:1:1 2:2:1 ..." (number:class:type).
    std::string placements();
    // Stores one group through the store's checks; returns its number.
    int group(store::GroupKind kind, std::vector<int> members);
    // Stores groups as an older or copied database may hold them, without any check.
    void storeUnchecked(store::GroupKind kind, const std::vector<int>& members);

    TempDatabase database;
    store::CurrentProject project;
};

}  // namespace qm::test
