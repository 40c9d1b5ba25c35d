#include <algorithm>
#include <cctype>

#include "encoding/answer_utf8.h"

namespace torvane::encoding {
namespace {

// Source: the Debian whois client's list of server character sets
// (servers_charset_list, version 5.6.6), its servers whose code is neither
// UTF-8 nor a Japanese code. whois.nic.ad.jp, listed there as ISO-2022-JP,
// needs no row: ISO-2022-JP is 7-bit and the Japanese detection finds it.
constexpr ServerAnswerCode kServerAnswerCodes[] = {
    {"whois.apnic.net", AnswerCode::latin1},
    {"whois.registro.br", AnswerCode::latin1},
    {"whois.fi", AnswerCode::latin1},
    {"whois.nic.hu", AnswerCode::latin1},
    {"whois.isnic.is", AnswerCode::latin1},
    {"whois.dns.lu", AnswerCode::latin1},
    {"whois.norid.no", AnswerCode::latin1},
    {"whois.kg", AnswerCode::windows1251},
};

bool SameHost(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == y;
           });
}

}  // namespace

std::span<const ServerAnswerCode> ServerAnswerCodes() { return kServerAnswerCodes; }

const AnswerCode* FindServerAnswerCode(std::string_view server) {
    if (!server.empty() && server.back() == '.') server.remove_suffix(1);
    for (const ServerAnswerCode& row : kServerAnswerCodes) {
        if (SameHost(server, row.server)) return &row.code;
    }
    return nullptr;
}

}  // namespace torvane::encoding
