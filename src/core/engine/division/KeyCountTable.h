#pragma once

#include <cstdint>
#include <vector>

namespace qm::engine {

// How many of a class's students hold each key (a reading of a name, one of the teacher's 分开
// groups): only the keys held at present take room, so a class needs room for its own students
// whatever the number of keys in the cohort, and one look-up costs the same whatever the class
// size. An open-addressing table: keys are numbers from 0 up, a key's count of 0 frees its place.
class KeyCountTable {
  public:
    int count(int key) const {
        if (held_ == 0) {
            return 0;
        }
        for (std::size_t place = home(key);; place = (place + 1) & mask()) {
            if (places_[place].key == key) {
                return places_[place].count;
            }
            if (places_[place].key == kEmpty) {
                return 0;
            }
        }
    }

    void add(int key, int delta) {
        if (delta == 0) {
            return;
        }
        if ((held_ + 1) * 2 > places_.size()) {
            grow();
        }
        std::size_t place = home(key);
        while (places_[place].key != key && places_[place].key != kEmpty) {
            place = (place + 1) & mask();
        }
        if (places_[place].key == kEmpty) {
            places_[place] = Place{key, 0};
            ++held_;
        }
        places_[place].count += delta;
        if (places_[place].count == 0) {
            free(place);
        }
    }

  private:
    static constexpr int kEmpty = -1;
    struct Place {
        int key = kEmpty;
        int count = 0;
    };

    std::size_t mask() const { return places_.size() - 1; }
    std::size_t home(int key) const {
        // Fibonacci hashing spreads neighbouring keys over the table.
        return static_cast<std::size_t>((static_cast<std::uint32_t>(key) * 2654435769U) >> 8) &
               mask();
    }

    void grow() {
        std::vector<Place> old(places_.size() < 8 ? 16 : places_.size() * 2);
        old.swap(places_);
        held_ = 0;
        for (const Place& place : old) {
            if (place.key != kEmpty) {
                add(place.key, place.count);
            }
        }
    }

    // Empties a place and moves back the entries after it that could not sit at their home,
    // so that every entry stays reachable from its home without passing an empty place.
    void free(std::size_t gap) {
        --held_;
        for (std::size_t next = (gap + 1) & mask(); places_[next].key != kEmpty;
             next = (next + 1) & mask()) {
            const std::size_t wanted = home(places_[next].key);
            // The entry at next may fill the gap unless its home lies cyclically in (gap, next].
            const bool homeAfterGap =
                gap <= next ? (wanted > gap && wanted <= next) : (wanted > gap || wanted <= next);
            if (!homeAfterGap) {
                places_[gap] = places_[next];
                gap = next;
            }
        }
        places_[gap] = Place{};
    }

    std::vector<Place> places_;
    std::size_t held_ = 0;
};

}  // namespace qm::engine
