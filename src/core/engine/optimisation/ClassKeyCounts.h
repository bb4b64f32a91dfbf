#pragma once

#include <cstddef>
#include <vector>

namespace qm::engine {

// Per class, how many of its students hold each of a number of keys (a reading of a name, one of
// the teacher's 分开 groups), for the rules of 深度优化 that keep students apart: one look-up
// tells whether a class holds a key, whatever its size.
class ClassKeyCounts {
  public:
    ClassKeyCounts(int classCount, std::size_t keyCount)
        : keyCount_(keyCount), counts_(static_cast<std::size_t>(classCount) * keyCount, 0) {}

    int at(int classIndex, int key) const { return counts_[index(classIndex, key)]; }
    void add(int classIndex, int key) { ++counts_[index(classIndex, key)]; }
    // A student holding the key went from one class to the other.
    void move(int key, int from, int to) {
        --counts_[index(from, key)];
        ++counts_[index(to, key)];
    }

  private:
    std::size_t index(int classIndex, int key) const {
        return static_cast<std::size_t>(classIndex) * keyCount_ + static_cast<std::size_t>(key);
    }

    std::size_t keyCount_;
    std::vector<int> counts_;
};

}  // namespace qm::engine
