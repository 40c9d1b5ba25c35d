#pragma once
// A report kept as plain lines, for front ends without a view.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/run/run_window.h"

namespace torvane::run {

class TTextReport : public IReport {
  public:
    void Clear() override { lines_.clear(); }
    void Append(const std::string& line) override { lines_.push_back(line); }
    // Throws std::out_of_range for an index past the end, as the view does.
    void Insert(int index, const std::string& line) override {
        InsertLines(index, query::TLines{line});
    }
    void AppendLines(query::TLines lines) override { lines_.append(std::move(lines)); }
    // One insert: the later lines move once, whatever the block's size.
    void InsertLines(int index, query::TLines lines) override {
        if (index < 0 || index > Count()) throw std::out_of_range("report line index");
        lines_.insert(static_cast<std::size_t>(index), std::move(lines));
    }
    // Throws std::out_of_range for a range past the end.
    void RemoveLines(int index, int count) override {
        if (index < 0 || count < 0 || index > Count() - count)
            throw std::out_of_range("report line index");
        lines_.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    }
    int Count() const override { return static_cast<int>(lines_.size()); }
    void BeginUpdate() override { updating_ = true; }
    void EndUpdate() override { updating_ = false; }
    void ScrollToTop() override {}

    const query::TLines& Lines() const { return lines_; }
    // The lines, moved out; the report is empty afterwards.
    query::TLines TakeLines() { return std::exchange(lines_, {}); }
    bool Updating() const { return updating_; }

  private:
    query::TLines lines_;
    bool updating_ = false;
};

}  // namespace torvane::run
