#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace hw {

// The first entry of a reference table for each name, found by hashing instead of a scan of
// the table. The names are views of the table's own entries: the index is built by the loaders
// right after a table is read, and it is only used while the table it was built from still
// holds exactly those entries (the same storage and count); otherwise the callers scan.
class NameIndex {
 public:
  // Indexes the first `count` entries of `table`, in order; `usable(entry)` leaves an entry out.
  template <typename Table, typename Usable>
  void Build(const Table& table, Usable usable) {
    first_.clear();
    longest_ = 0;
    for (int i = 0; i < table.count; ++i) {
      const auto& entry = table[i];
      if (!usable(entry)) continue;
      const std::u16string_view name = entry.name.View();
      first_.emplace(name, i);  // keeps the first entry of a name
      longest_ = std::max(longest_, name.size());
    }
    source_ = table.entries.data();
    count_ = table.count;
  }
  void Clear() {
    first_.clear();
    source_ = nullptr;
    count_ = -1;
  }

  // True when the index describes `table` as it is.
  template <typename Table>
  bool Covers(const Table& table) const {
    return source_ == table.entries.data() && count_ == table.count;
  }
  std::optional<int> Find(std::u16string_view name) const {
    const auto found = first_.find(name);
    if (found == first_.end()) return std::nullopt;
    return found->second;
  }
  // The length of the longest name indexed.
  std::size_t Longest() const { return longest_; }

 private:
  std::unordered_map<std::u16string_view, int> first_;
  std::size_t longest_ = 0;
  const void* source_ = nullptr;
  int count_ = -1;
};

}  // namespace hw
