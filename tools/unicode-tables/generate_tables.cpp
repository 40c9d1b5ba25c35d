// Writes unicode_tables.cpp, the per-code-point table of the unicode module
// (layout in src/unicode/char_table.h), from the Unicode Character Database
// files and the CP932 conversion of the encoding module.
//
//   torvane-unicode-tables <UCD directory> <output .cpp>
//
// Reads EastAsianWidth.txt, extracted/DerivedGeneralCategory.txt,
// auxiliary/GraphemeBreakProperty.txt and emoji/emoji-data.txt. Exits non-zero
// with a message on any file it cannot read or line it cannot parse, so a
// broken data set fails the build instead of giving a wrong table.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "encoding/code_page.h"
#include "unicode/char_table.h"
#include "unicode/properties.h"

namespace {

namespace fs = std::filesystem;
using namespace torvane::unicode;
using namespace torvane::unicode::detail;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "torvane-unicode-tables: %s\n", message.c_str());
    std::exit(1);
}

struct RangeValue {
    char32_t first, last;
    std::string value;
};

struct DataFile {
    std::string version;              // from the first line, "# Name-15.0.0.txt"
    std::optional<std::string> missing;  // the "# @missing: 0000..10FFFF; X" default
    std::vector<RangeValue> ranges;
};

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// "XXXX" or "XXXX..YYYY" and the first field after it.
std::optional<RangeValue> ParseRangeLine(const std::string& line) {
    const auto semi = line.find(';');
    if (semi == std::string::npos) return std::nullopt;
    const std::string range = Trim(line.substr(0, semi));
    std::string value = line.substr(semi + 1);
    value = Trim(value.substr(0, value.find_first_of(";#")));
    const auto dots = range.find("..");
    RangeValue r;
    try {
        r.first = static_cast<char32_t>(std::stoul(range.substr(0, dots), nullptr, 16));
        r.last = dots == std::string::npos
                     ? r.first
                     : static_cast<char32_t>(std::stoul(range.substr(dots + 2), nullptr, 16));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (r.first > r.last || r.last >= kCodePointLimit || value.empty()) return std::nullopt;
    r.value = value;
    return r;
}

DataFile ReadDataFile(const fs::path& path) {
    std::ifstream in(path);
    if (!in) Fail("cannot read " + path.string());
    DataFile file;
    std::string line;
    static const std::regex version(R"(^# \S+-(\d+\.\d+\.\d+)\.txt)");
    static const std::regex emojiVersion(R"(^# Used with Emoji Version (\d+\.\d+))");
    for (int number = 1; std::getline(in, line); ++number) {
        std::smatch m;
        if (file.version.empty() && std::regex_search(line, m, version)) {
            file.version = m[1];
        } else if (file.version.empty() && std::regex_search(line, m, emojiVersion)) {
            file.version = std::string(m[1]) + ".0";
        }
        if (line.rfind("# @missing:", 0) == 0) {
            const auto r = ParseRangeLine(line.substr(11));
            if (r && r->first == 0 && r->last == kCodePointLimit - 1) file.missing = r->value;
            continue;
        }
        const std::string content = Trim(line.substr(0, line.find('#')));
        if (content.empty()) continue;
        const auto r = ParseRangeLine(content);
        if (!r) Fail(path.string() + ":" + std::to_string(number) + ": cannot parse: " + line);
        file.ranges.push_back(*r);
    }
    if (file.version.empty()) Fail("no version line in " + path.string());
    return file;
}

// The values of one property for every code point: the file's default, then its ranges.
std::vector<std::string> Expand(const DataFile& file, const std::string& fallback) {
    std::vector<std::string> values(kCodePointLimit, file.missing.value_or(fallback));
    for (const auto& r : file.ranges) {
        for (char32_t c = r.first; c <= r.last; ++c) values[c] = r.value;
    }
    return values;
}

GraphemeBreak BreakClass(const std::string& name) {
    static const std::map<std::string, GraphemeBreak> names = {
        {"Other", GraphemeBreak::Other},
        {"CR", GraphemeBreak::CR},
        {"LF", GraphemeBreak::LF},
        {"Control", GraphemeBreak::Control},
        {"Extend", GraphemeBreak::Extend},
        {"ZWJ", GraphemeBreak::ZWJ},
        {"Regional_Indicator", GraphemeBreak::Regional_Indicator},
        {"Prepend", GraphemeBreak::Prepend},
        {"SpacingMark", GraphemeBreak::SpacingMark},
        {"L", GraphemeBreak::L},
        {"V", GraphemeBreak::V},
        {"T", GraphemeBreak::T},
        {"LV", GraphemeBreak::LV},
        {"LVT", GraphemeBreak::LVT},
    };
    const auto it = names.find(name);
    if (it == names.end()) Fail("unknown Grapheme_Cluster_Break value " + name);
    return it->second;
}

// How many bytes CP932 writes each character with, as the encoding module
// converts it: 0 for a character it lacks (which it writes as '?'). CP932 has
// no character outside the BMP.
std::vector<std::uint8_t> Cp932Bytes() {
    std::vector<std::uint8_t> bytes(kCodePointLimit, 0);
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::u16string unit(1, static_cast<char16_t>(c));
        const std::string cp932 = torvane::encoding::Utf16ToCp932(unit);
        if (cp932 != "?" || c == '?') bytes[c] = static_cast<std::uint8_t>(cp932.size());
    }
    return bytes;
}

int Cells(bool cp932DoubleByte, const std::string& eastAsianWidth, const std::string& category,
          GraphemeBreak breakClass) {
    if (cp932DoubleByte) return 2;
    if (eastAsianWidth == "W" || eastAsianWidth == "F") return 2;
    if (category == "Mn" || category == "Me") return 0;
    if (category == "Cf" && breakClass != GraphemeBreak::Prepend) return 0;
    return 1;
}

void Write(const fs::path& path, const std::string& version, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint16_t> stage1;
    std::vector<std::uint8_t> stage2;
    std::map<std::vector<std::uint8_t>, std::uint16_t> blocks;
    for (unsigned start = 0; start < kCodePointLimit; start += kBlockSize) {
        std::vector<std::uint8_t> block(bytes.begin() + start, bytes.begin() + start + kBlockSize);
        auto [it, added] = blocks.emplace(block, static_cast<std::uint16_t>(blocks.size()));
        if (added) stage2.insert(stage2.end(), block.begin(), block.end());
        stage1.push_back(it->second);
    }
    std::ostringstream out;
    out << "// Generated by tools/unicode-tables from the Unicode " << version
        << " Character Database\n"
           "// (EastAsianWidth.txt, extracted/DerivedGeneralCategory.txt,\n"
           "// auxiliary/GraphemeBreakProperty.txt, emoji/emoji-data.txt) and the CP932\n"
           "// conversion of src/encoding. Do not edit; layout in src/unicode/char_table.h.\n"
           "// "
        << blocks.size() << " distinct blocks of " << kBlockSize << " code points.\n\n"
        << "#include \"unicode/char_table.h\"\n\n"
           "namespace torvane::unicode::detail {\n\n"
           "const char kUnicodeVersion[] = \""
        << version << "\";\n\nconst std::uint16_t kStage1[kStage1Size] = {\n";
    for (std::size_t i = 0; i < stage1.size(); ++i) {
        out << (i % 16 == 0 ? "    " : " ") << stage1[i] << ',' << (i % 16 == 15 ? "\n" : "");
    }
    out << "};\n\nconst std::uint8_t kStage2[] = {\n";
    for (std::size_t i = 0; i < stage2.size(); ++i) {
        out << (i % 16 == 0 ? "    " : " ") << static_cast<unsigned>(stage2[i]) << ','
            << (i % 16 == 15 ? "\n" : "");
    }
    out << "};\n\n}  // namespace torvane::unicode::detail\n";
    std::ofstream file(path, std::ios::binary);
    file << out.str();
    if (!file.flush()) Fail("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) Fail("usage: torvane-unicode-tables <UCD directory> <output .cpp>");
    const fs::path ucd = argv[1];
    const DataFile eaw = ReadDataFile(ucd / "EastAsianWidth.txt");
    const DataFile gc = ReadDataFile(ucd / "extracted/DerivedGeneralCategory.txt");
    const DataFile gcb = ReadDataFile(ucd / "auxiliary/GraphemeBreakProperty.txt");
    const DataFile emoji = ReadDataFile(ucd / "emoji/emoji-data.txt");
    for (const DataFile* f : {&gc, &gcb, &emoji}) {
        if (f->version != eaw.version) {
            Fail("data files of different Unicode versions: " + eaw.version + " and " + f->version);
        }
    }

    const auto widths = Expand(eaw, "N");
    const auto categories = Expand(gc, "Cn");
    const auto breaks = Expand(gcb, "Other");
    std::vector<bool> pictographic(kCodePointLimit, false);
    for (const auto& r : emoji.ranges) {
        if (r.value != "Extended_Pictographic") continue;
        for (char32_t c = r.first; c <= r.last; ++c) pictographic[c] = true;
    }
    const auto cp932 = Cp932Bytes();

    std::vector<std::uint8_t> bytes(kCodePointLimit);
    for (char32_t c = 0; c < kCodePointLimit; ++c) {
        const GraphemeBreak b = BreakClass(breaks[c]);
        const int cells = Cells(cp932[c] == 2, widths[c], categories[c], b);
        bytes[c] = static_cast<std::uint8_t>(static_cast<unsigned>(b) |
                                             (pictographic[c] ? kPictographicBit : 0) |
                                             (cells << kCellsShift) | (cp932[c] > 0 ? kCp932Bit : 0));
    }
    Write(argv[2], eaw.version, bytes);
    return 0;
}
