#include "app/run/history.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "encoding/cp932_utf8.h"
#include "query/ascii_text.h"
#include "query/text_lines.h"
#include "unicode/utf8_walk.h"

namespace torvane::run {

namespace fs = std::filesystem;

namespace {

// Asks the file system rather than the permission bits, so a folder that
// only looks writable (a read-only mount, a file in the way) is found out.
bool CanWriteIn(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) return false;
    const fs::path probe = folder / (".torvane-probe-" + std::to_string(getpid()));
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr) return false;
    std::fclose(file);
    fs::remove(probe, error);
    return true;
}

// An installed copy never writes beside itself, even when the user (root)
// could: the package manager would leave the file behind.
bool InSystemPrefix(const fs::path& folder) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(folder, error);
    if (error) resolved = folder.lexically_normal();
    for (const fs::path prefix : {"/usr", "/opt"}) {
        const auto [end, rest] = std::mismatch(prefix.begin(), prefix.end(), resolved.begin(),
                                               resolved.end());
        if (end == prefix.end()) return true;
    }
    return false;
}

std::runtime_error FileError(const fs::path& path) {
    return std::runtime_error(path.string() + ": " + std::strerror(errno));
}

}  // namespace

fs::path HistoryFilePath(const fs::path& programDir, const fs::path& dataDir) {
    if (!InSystemPrefix(programDir) && CanWriteIn(programDir)) return programDir / "log.txt";
    std::error_code error;
    fs::create_directories(dataDir, error);
    return dataDir / "log.txt";
}

void THistory::Load() {
    items_.clear();
    std::error_code error;
    if (!fs::exists(file_, error)) return;
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf())) {
        if (fs::file_size(file_, error) == 0 && !error) return;
        throw FileError(file_);
    }
    // Earlier versions wrote CP932; a file that is not UTF-8 is one of theirs.
    std::string text = std::move(bytes).str();
    if (!unicode::IsValidUtf8(text)) text = encoding::Cp932ToUtf8(text);
    items_ = query::SplitLines(text);
}

void THistory::Update(const std::string& line) {
    if (line.empty()) return;
    const auto same = std::find_if(items_.begin(), items_.end(), [&](const std::string& item) {
        return query::EqualsIgnoreCase(item, line);
    });
    if (same != items_.end()) {
        std::rotate(items_.begin(), same, same + 1);
    } else {
        items_.insert(items_.begin(), line);
    }
    Save();
}

void THistory::Save() const {
    // Written beside the target and renamed over it, so a crash or a full
    // disk never leaves half a history.
    const fs::path temporary = fs::path(file_).concat(".tmp");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string& item : items_) out << item << "\r\n";
        out.flush();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw FileError(file_);
        }
    }
    if (std::rename(temporary.c_str(), file_.c_str()) != 0) {
        const std::runtime_error failure = FileError(file_);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw failure;
    }
}

}  // namespace torvane::run
