#pragma once
// Splitting answers and files into lines, and the compact list of lines that
// answers and reports are kept in.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::query {

// The lines of `text`, split at every CR LF, CR or LF. A line end at the very
// end of the text does not start another, empty line; an empty text has no
// lines.
std::vector<std::string> SplitLines(std::string_view text);

// An ordered list of lines (bytes, no line ends) held in a few large
// buffers: a line costs its bytes and 16 bytes of index, never an allocation
// of its own, so a megabyte answer is a few allocations, not hundreds of
// thousands; and lists join without copying a byte of text. Lines are read
// as string_views, valid until the list next changes.
class TLines {
  public:
    class const_iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return (*lines_)[index_]; }
        std::string_view operator[](difference_type n) const { return (*lines_)[index_ + n]; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            auto was = *this;
            ++index_;
            return was;
        }
        const_iterator& operator--() {
            --index_;
            return *this;
        }
        const_iterator operator--(int) {
            auto was = *this;
            --index_;
            return was;
        }
        const_iterator& operator+=(difference_type n) {
            index_ += n;
            return *this;
        }
        const_iterator& operator-=(difference_type n) {
            index_ -= n;
            return *this;
        }
        friend const_iterator operator+(const_iterator i, difference_type n) { return i += n; }
        friend const_iterator operator+(difference_type n, const_iterator i) { return i += n; }
        friend const_iterator operator-(const_iterator i, difference_type n) { return i -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.index_ == b.index_;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.index_ <=> b.index_;
        }

      private:
        friend class TLines;
        const_iterator(const TLines* lines, std::size_t index) : lines_(lines), index_(index) {}
        const TLines* lines_ = nullptr;
        std::size_t index_ = 0;
    };

    TLines() = default;
    TLines(std::initializer_list<std::string_view> lines);
    explicit TLines(const std::vector<std::string>& lines);

    // The lines of `text`, split as SplitLines splits; the text itself
    // becomes the lines' storage, so nothing is copied.
    static TLines FromText(std::string text);

    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    // Precondition: index < size().
    std::string_view operator[](std::size_t index) const {
        const Span& span = spans_[index];
        return {texts_[span.text].data() + span.start, span.size};
    }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // `line` may be a line of this list. Precondition: line.size() < 4 GiB.
    void push_back(std::string_view line);
    // The lines of `other` after the last line, or before line `index`
    // (precondition: index <= size()). The cost is linear in the lines after
    // `index` and the lines added; `other`'s buffers are taken over.
    void append(TLines other) { insert(size(), std::move(other)); }
    void insert(std::size_t index, TLines other);
    // Drops lines [index, index + count) (precondition: index + count <=
    // size()); the later lines move once. Their bytes stay in the buffers
    // until clear(): erasing is for the few lines of a block being replaced.
    void erase(std::size_t index, std::size_t count);
    void clear();

    friend bool operator==(const TLines& a, const TLines& b);
    friend bool operator==(const TLines& a, const std::vector<std::string>& b);

  private:
    struct Span {
        std::size_t start;   // in texts_[text]
        std::uint32_t text;  // a list's buffers are few: a join adds one
        std::uint32_t size;
    };
    std::vector<std::string> texts_;
    std::vector<Span> spans_;
};

}  // namespace torvane::query
