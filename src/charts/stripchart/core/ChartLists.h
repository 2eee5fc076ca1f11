#pragma once
// TDoubleList and TDataNullList: counted, contiguous lists with the chart's own
// growth rule and limits, so that appending is amortised constant time.
#include <algorithm>
#include <cstddef>
#include <memory>

#include "charts/stripchart/core/ChartTypes.h"

// The largest capacity a list accepts (2^27 - 1 entries).
inline constexpr int kMaxChartListSize = 134217727;

// The capacity an append grows a full list to: by a quarter above 64 entries,
// by 16 above 8, else by 4; never past the maximum.
int GrownCapacity(int capacity);

template <typename Entry>
class TChartList {
public:
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    bool CanAppend() const { return count_ < kMaxChartListSize; }

    const Entry& At(int index) const {
        CheckIndex(index);
        return items_[index];
    }
    void Put(int index, const Entry& entry) {
        CheckIndex(index);
        items_[index] = entry;
    }
    // Unchecked access for the drawing loops, which walk a range already checked.
    const Entry* Data() const { return items_.get(); }

    void Append(const Entry& entry) {
        if (count_ == capacity_) SetCapacity(GrownCapacity(capacity_));
        items_[count_++] = entry;
    }
    // A capacity below the count keeps the entries: the list never drops data here.
    void SetCapacity(int capacity) {
        if (capacity > kMaxChartListSize) throw EStripChartError(ChartErrors::MaximumListSize);
        capacity = std::max(capacity, count_);
        if (capacity == capacity_) return;
        auto items = std::make_unique_for_overwrite<Entry[]>(static_cast<std::size_t>(capacity));
        std::copy(items_.get(), items_.get() + count_, items.get());
        items_ = std::move(items);
        capacity_ = capacity;
    }
    // Deletes the first n entries; deleting all of them is refused.
    void DeleteFirst(int n) {
        if (n < 0 || n >= count_) throw EStripChartError(ChartErrors::DeleteSize);
        std::copy(items_.get() + n, items_.get() + count_, items_.get());
        count_ -= n;
    }
    void Clear() {
        items_.reset();
        count_ = capacity_ = 0;
    }

private:
    void CheckIndex(int index) const {
        if (index < 0 || index >= count_) throw EStripChartError(ChartErrors::ListIndex);
    }

    std::unique_ptr<Entry[]> items_;
    int count_ = 0;
    int capacity_ = 0;
};

class TDoubleList : public TChartList<double> {
public:
    double Get(int index) const { return At(index); }
    void Set(int index, double value) { Put(index, value); }
};

struct TDataNullEntry {
    double Value = 0.0;
    bool Null = true;
};

class TDataNullList : public TChartList<TDataNullEntry> {
public:
    double Get(int index, bool& null) const {
        const TDataNullEntry& entry = At(index);
        null = entry.Null;
        return entry.Value;
    }
    void Set(int index, double value) { Put(index, {value, false}); }
    void SetNull(int index) { Put(index, {0.0, true}); }
    void AppendNull() { Append({0.0, true}); }
};
