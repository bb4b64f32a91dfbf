#pragma once

#include <string>
#include <vector>

#include "engine/balance/PlacedCohort.h"

namespace qm::engine {

// How far apart the classes of one division are (均衡度). A spread is the largest value of a
// class minus the smallest.
struct BalanceFigures {
    // The total or one subject that somebody takes: the spread of the class averages and the
    // largest distance of a class average from the average of all students in the classes.
    struct Average {
        int quantity = kTotal;  // a Subject, or kTotal
        double spread = 0;
        double largestDeviation = 0;
    };
    // One subject that somebody takes: the largest spread of head counts in one ten-point band.
    struct Bands {
        Subject subject = kMath;
        int spread = 0;
    };
    // One category: the spread of its members' head counts.
    struct Category {
        std::string label;
        int spread = 0;
    };

    std::vector<Average> averages;     // the total first, then the subjects taken in table order
    std::vector<Bands> bands;          // the subjects taken, in table order
    std::vector<Category> categories;  // ascending label
    int boysSpread = 0;
    int girlsSpread = 0;
    int sizeSpread = 0;

    double totalSpread() const;
    // The largest spread of class averages among the subjects; 0 without subjects.
    double worstSubjectSpread() const;
    int worstBandSpread() const;
    int worstCategorySpread() const;
};

// The figures of the cohort divided as classOf says (a class index per student, in the
// cohort's order). Averages are taken over the classes that hold students; head counts over all
// classes, so an empty class counts as 0.
BalanceFigures measureBalance(const PlacedCohort& cohort, const std::vector<int>& classOf);

}  // namespace qm::engine
