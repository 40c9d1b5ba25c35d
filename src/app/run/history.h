#pragma once
// The query history: typed lines, most recent first, mirrored in "log.txt".
// The file is UTF-8 text, one item per line, each line ended by CR LF; a file
// that is not UTF-8 is read as CP932, as earlier versions wrote it.

#include <filesystem>
#include <string>
#include <vector>

namespace torvane::run {

// Where "log.txt" lives: beside the program only for a portable copy, a
// program folder outside the system prefixes (/usr, /usr/local, /opt and
// everything under them) that can be written; otherwise in `dataDir`, which is
// created if missing. The same for every user, root included.
std::filesystem::path HistoryFilePath(const std::filesystem::path& programDir,
                                      const std::filesystem::path& dataDir);

class THistory {
  public:
    explicit THistory(std::filesystem::path file) : file_(std::move(file)) {}

    // Replaces the items with the lines of the file, in file order, when it
    // exists. Throws std::runtime_error with the system's message when it
    // exists but cannot be read; the items are then empty.
    void Load();

    // Moves an item equal to `line` without regard to ASCII case to the top
    // (keeping its stored case), or inserts `line` at the top; then rewrites
    // the file. An empty line changes nothing. Throws std::runtime_error when
    // the file cannot be written; the old file is then left whole.
    void Update(const std::string& line);

    const std::vector<std::string>& Items() const { return items_; }
    const std::filesystem::path& File() const { return file_; }

  private:
    void Save() const;

    std::filesystem::path file_;
    std::vector<std::string> items_;
};

}  // namespace torvane::run
