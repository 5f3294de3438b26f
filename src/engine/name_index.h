#pragma once
// Names with a value each, found by hash. A large worksheet defines data-set names by the
// hundred thousand; a map of linked nodes would miss the cache two or three times for each
// of them (bucket, node, next node). Here a small slot of hash and position, probed in one
// flat array, leads to the name and its value in a second array kept in the order they
// came, so that adding a new name misses about once. The names are views of text that
// outlives the index.

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace tallo {

template <typename Value>
class NameIndex {
 public:
  // The value of a name, added as given when the name is new; and whether it was added.
  std::pair<Value*, bool> FindOrAdd(std::string_view name, const Value& value) {
    if (2 * (entries_.size() + 1) > slots_.size()) Grow();
    const std::size_t hash = std::hash<std::string_view>{}(name);
    Slot& slot = slots_[Probe(hash, name)];
    if (slot.entry != kFree) return {&entries_[slot.entry].value, false};
    slot = {hash, entries_.size()};
    entries_.push_back({name, value});
    return {&entries_.back().value, true};
  }

  // The value of a name, or null when the name was never added.
  const Value* Find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[Probe(std::hash<std::string_view>{}(name), name)];
    return slot.entry == kFree ? nullptr : &entries_[slot.entry].value;
  }

  template <typename Visit>
  void ForEachName(Visit visit) const {
    for (const Entry& entry : entries_) visit(entry.name);
  }

 private:
  static constexpr std::size_t kFree = static_cast<std::size_t>(-1);
  struct Slot {
    std::size_t hash = 0;
    std::size_t entry = kFree;
  };
  struct Entry {
    std::string_view name;
    Value value;
  };

  // The slot holding the name, or the free slot where it would go: linear probing from its
  // hash, in an array at most half full whose size is a power of two.
  std::size_t Probe(std::size_t hash, std::string_view name) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.entry == kFree || (slot.hash == hash && entries_[slot.entry].name == name)) {
        return at;
      }
    }
  }

  // Doubles the slots, placing every name by its kept hash; the names themselves stay.
  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.entry == kFree) continue;
      std::size_t at = slot.hash & mask;
      while (slots_[at].entry != kFree) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::vector<Entry> entries_;
};

}  // namespace tallo
