// Content codings: which coding a header names, and decoding gzip and both
// forms of deflate from the stored compressed answers and from zlib itself,
// whole or in pieces, corrupt, cut off, and inflating past the cap.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "coding_testing.h"
#include "rdap/content_coding.h"
#include "rdap_test_data.h"

namespace torvane::rdap {
namespace {

namespace fs = std::filesystem;
using namespace torvane::testing;

const std::string kAnswerName = "rdap.verisign.com__domain_google.com_2021.json";

TEST(ContentCoding, HeaderValuesNameTheirCoding) {
    const struct {
        const char* value;
        ContentCoding coding;
    } cases[] = {
        {"", ContentCoding::kIdentity},
        {"identity", ContentCoding::kIdentity},
        {" Identity ", ContentCoding::kIdentity},
        {"gzip", ContentCoding::kGzip},
        {"GZIP ", ContentCoding::kGzip},
        {"x-gzip", ContentCoding::kGzip},
        {"deflate", ContentCoding::kDeflate},
        {"identity, deflate", ContentCoding::kDeflate},
        {"gzip,", ContentCoding::kGzip},
        {"br", ContentCoding::kUnknown},
        {"zstd", ContentCoding::kUnknown},
        {"compress", ContentCoding::kUnknown},
        {"gzip, gzip", ContentCoding::kUnknown},
        {"deflate, gzip", ContentCoding::kUnknown},
        {"gzip;q=1", ContentCoding::kUnknown},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseContentCoding(c.value), c.coding) << c.value;
}

TEST(ContentCoding, LabelsAreShortPrintableAscii) {
    EXPECT_EQ(CodingLabel(" BR "), "br");
    EXPECT_EQ(CodingLabel("x\x1b[2J\xE2\x80\x8Ey"), "x?[2j???y");
    EXPECT_EQ(CodingLabel(std::string(100, 'z')), std::string(24, 'z') + "...");
}

TEST(ContentDecoder, StoredCodingsOfARealAnswerDecodeToItsBytes) {
    const std::string answer = ReadFile(kRdapData / "answers" / kAnswerName);
    ASSERT_EQ(answer.size(), 2496u);
    const struct {
        const char* suffix;
        ContentCoding coding;
    } cases[] = {
        {".gz", ContentCoding::kGzip},
        {".two-members.gz", ContentCoding::kGzip},
        {".zlib", ContentCoding::kDeflate},
        {".deflate", ContentCoding::kDeflate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.suffix);
        const std::string coded = ReadFile(kRdapData / "coded" / (kAnswerName + c.suffix));
        ASSERT_FALSE(coded.empty());
        std::string whole;
        EXPECT_EQ(DecodeContent(coded, c.coding, 1 << 20, whole), DecodeResult::kOk);
        EXPECT_TRUE(whole == answer);
        // One byte at a time crosses every header, block and member boundary.
        ContentDecoder decoder(c.coding, 1 << 20);
        std::string pieces;
        for (const char byte : coded)
            ASSERT_EQ(decoder.Feed(std::string_view(&byte, 1), pieces), DecodeResult::kOk);
        EXPECT_EQ(decoder.Finish(), DecodeResult::kOk);
        EXPECT_TRUE(pieces == answer);
    }
}

TEST(ContentDecoder, BrokenStreamsSaySoAndKeepWhatDecoded) {
    const std::string answer = ReadFile(kRdapData / "answers" / kAnswerName);
    const std::string gzip = Gzip(answer);
    const std::string zlib = Compressed(answer, kZlibBits);
    std::string badCrc = gzip;
    badCrc[badCrc.size() - 5] ^= 0x01;  // the CRC-32 of the trailer
    std::string badBlock = zlib;
    badBlock[2] = '\xFF';  // block type 3, which does not exist
    const struct {
        const char* name;
        std::string body;
        ContentCoding coding;
        DecodeResult result;
    } cases[] = {
        {"gzip cut in its data", gzip.substr(0, gzip.size() / 2), ContentCoding::kGzip,
         DecodeResult::kCutOff},
        {"gzip without its trailer", gzip.substr(0, gzip.size() - 8), ContentCoding::kGzip,
         DecodeResult::kCutOff},
        {"gzip cut in its header", gzip.substr(0, 5), ContentCoding::kGzip, DecodeResult::kCutOff},
        {"deflate of one byte", zlib.substr(0, 1), ContentCoding::kDeflate, DecodeResult::kCutOff},
        {"gzip with a wrong checksum", badCrc, ContentCoding::kGzip, DecodeResult::kCorrupt},
        {"deflate with a bad block", badBlock, ContentCoding::kDeflate, DecodeResult::kCorrupt},
        {"not gzip at all", answer, ContentCoding::kGzip, DecodeResult::kCorrupt},
        {"garbage after a gzip member", gzip + "garbage", ContentCoding::kGzip,
         DecodeResult::kCorrupt},
        {"bytes after a deflate stream", zlib + "x", ContentCoding::kDeflate,
         DecodeResult::kCorrupt},
        {"a second member cut off", gzip + gzip.substr(0, 12), ContentCoding::kGzip,
         DecodeResult::kCutOff},
        {"an empty gzip body", "", ContentCoding::kGzip, DecodeResult::kOk},
        {"an empty deflate body", "", ContentCoding::kDeflate, DecodeResult::kOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        EXPECT_EQ(DecodeContent(c.body, c.coding, 1 << 20, out), c.result);
        // Whatever decoded before the fault stays: the answer's beginning.
        EXPECT_TRUE((answer + answer).starts_with(out));
    }
}

TEST(ContentDecoder, AGzipBombStopsAtTheCapWithoutRoomBeyondIt) {
    constexpr std::size_t kCap = 16u << 20;
    const std::string bomb = GzipOfZeros(64u << 20);
    ASSERT_LT(bomb.size(), 100u << 10);
    std::string out;
    ContentDecoder decoder(ContentCoding::kGzip, kCap);
    // Fed in network-sized pieces, as the client reads them.
    DecodeResult result = DecodeResult::kOk;
    std::size_t fed = 0;
    for (; fed < bomb.size() && result == DecodeResult::kOk; fed += 4096)
        result = decoder.Feed(std::string_view(bomb).substr(fed, 4096), out);
    EXPECT_EQ(result, DecodeResult::kTooLarge);
    EXPECT_LT(fed, bomb.size()) << "the rest of the bomb need not be read";
    EXPECT_EQ(out.size(), kCap);
    EXPECT_LE(out.capacity(), kCap);
    EXPECT_EQ(out.find_first_not_of('\0'), std::string::npos);
    EXPECT_EQ(decoder.Feed("more", out), DecodeResult::kTooLarge);
    EXPECT_EQ(decoder.Finish(), DecodeResult::kTooLarge);
    EXPECT_EQ(out.size(), kCap);
}

TEST(ContentDecoder, TheCapCountsDecodedAndCodedBytes) {
    const struct {
        const char* name;
        std::string body;
        ContentCoding coding;
        std::size_t cap;
        DecodeResult result;
        std::size_t decoded;
    } cases[] = {
        {"gzip decoding to exactly the cap", Gzip(std::string(1000, 'a')), ContentCoding::kGzip,
         1000, DecodeResult::kOk, 1000},
        {"gzip decoding one past the cap", Gzip(std::string(1001, 'a')), ContentCoding::kGzip,
         1000, DecodeResult::kTooLarge, 1000},
        // Empty gzip members decode to nothing; a body of more than the cap
        // of them is not fed on forever.
        {"empty members past the cap", [] {
             std::string members;
             while (members.size() <= 1000) members += Gzip("");
             return members;
         }(),
         ContentCoding::kGzip, 1000, DecodeResult::kTooLarge, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        EXPECT_EQ(DecodeContent(c.body, c.coding, c.cap, out), c.result);
        EXPECT_EQ(out.size(), c.decoded);
    }
}

}  // namespace
}  // namespace torvane::rdap
