#pragma once
// A report kept as plain lines, for front ends without a view.

#include <iterator>
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
        if (index < 0 || index > Count()) throw std::out_of_range("report line index");
        lines_.insert(lines_.begin() + index, line);
    }
    void AppendLines(std::vector<std::string> lines) override {
        if (lines_.empty()) {
            lines_ = std::move(lines);
            return;
        }
        lines_.insert(lines_.end(), std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
    }
    // One insert: the later lines move once, whatever the block's size.
    void InsertLines(int index, std::vector<std::string> lines) override {
        if (index < 0 || index > Count()) throw std::out_of_range("report line index");
        lines_.insert(lines_.begin() + index, std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
    }
    int Count() const override { return static_cast<int>(lines_.size()); }
    void BeginUpdate() override { updating_ = true; }
    void EndUpdate() override { updating_ = false; }
    void ScrollToTop() override {}

    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines, moved out; the report is empty afterwards.
    std::vector<std::string> TakeLines() { return std::exchange(lines_, {}); }
    bool Updating() const { return updating_; }

  private:
    std::vector<std::string> lines_;
    bool updating_ = false;
};

}  // namespace torvane::run
