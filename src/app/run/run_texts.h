#pragma once
// The texts a run shows, in UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "puny/typed_name.h"
#include "rdap/body_kind.h"
#include "rdap/content_coding.h"

namespace torvane::run {

struct RunTexts {
    std::string runStarting;     // "調査開始．．．"
    std::string gettingDns;      // "DNS 情報を取得しています..."
    std::string noDatabase;      // "データベースが見つかりません"
    std::string cancelled;       // "中止"
    std::string done;            // "完了"
    std::string serviceRefused;  // "WHOISサービスを利用できません"
    std::string hostNotFound;    // "ホストが見つかりません"
    std::string error;           // "エラー"
    std::string errorNumber;     // "エラー #"
    std::string connecting;      // "に接続中．．．"
    std::string titleOpen;       // "         【"
    std::string titleClose;      // " の調査結果】"
    std::string captionSuffix;   // " の調査結果 - Torvane"
    std::string addressTitle;    // "{IPアドレス}"
    std::string punyTitle;       // "{Punyコード}"
    std::string domainTitle;     // "{ドメイン名}"
    std::string reverseOpen;     // " (逆引きアドレス："
    std::string noDatabaseLine;  // " についてのデータベースが見つかりません。"
    std::string seePageLine;     // " を参考にしてください。"
    std::string answerFrom;      // " からの回答"
    std::string truncated;       // "回答が大きすぎるため途中で打ち切りました"
    std::string rdapTag;         // " (RDAP)", after answerFrom in an RDAP block's header
    std::string waitingFor;      // " への接続を待っています．．．"
    std::string hostSeparator;   // "、", between the hosts a status names
    std::string notFound;        // " が見つかりません"
    std::string refused;         // " に接続を拒否されました"
    std::string timedOut;        // " の応答がタイムアウトしました"
    std::string unreachable;     // " に到達できません"
    std::string errorAt;         // " でエラー #"
    std::string httpErrorAt;     // " でエラー HTTP "
    std::string noDataAt;        // " にデータがありません"
    std::string notRdap;         // " の応答は RDAP のデータではありません"
    std::string kindHtml;        // "HTML", the kinds of body notRdap names
    std::string kindText;        // "テキスト"
    std::string kindBinary;      // "バイナリ"
    std::string kindCutJson;     // "途中で切れた JSON"
    std::string kindOtherJson;   // "RDAP 以外の JSON"
    std::string kindEmpty;       // "空"
    std::string unknownCoding;   // " の応答は対応していない圧縮形式です"
    std::string corruptCoding;   // " の応答の圧縮データが壊れています"
    std::string cutOffCoding;    // " の応答の圧縮データが途中で切れています"
    std::string binaryNotShown;  // "(バイナリデータのため表示しません: ", then the size
    std::string bytesClose;      // " バイト)"
    std::string rateLimited;     // " で問い合わせ回数の制限を超えました"
    std::string retrySeconds;    // " 秒後に再試行できます)", after " (" and a count
    std::string retryMinutes;    // " 分後に再試行できます)", after " (" and a count
    std::string proxyOpen;         // "プロキシ ", before the proxy's host:port
    std::string proxyUnreachable;  // " に接続できません"
    std::string proxyRefusedTo;    // " が ", then the server
    std::string proxyRefusedEnd;   // " への接続を断りました"
    std::string proxyWantsAuth;    // " が認証を求めています"
    std::string proxyBadReply;     // " の応答を読み取れません"
    std::string proxyVia;          // " 経由)", after " (プロキシ " and the proxy
};

const RunTexts& Texts();

// The name a run title line ("         【" + name + " の調査結果】") names; nothing for any
// other line.
std::optional<std::string> RunTitleName(std::string_view line);

// The status text for a leg's completion code other than 0.
std::string StatusForCode(std::uint16_t code);

// While legs are started and not yet connected: the hosts they wait for, in
// the order given, then " への接続を待っています．．．". Precondition: `hosts` is not
// empty.
std::string WaitingStatus(const std::vector<std::string>& hosts);

// What went wrong at `host`, in words, for the exchanges the
// "IANA・RDAPで補完" switch adds: 11001 " が見つかりません", 10061 " に接続を拒否されました",
// 10060 " の応答がタイムアウトしました", 10065 and 10051 " に到達できません", any other code
// " でエラー #" and the code, all after the host. Precondition: code is not 0.
std::string HostFailure(const std::string& host, std::uint16_t code);
// The same for an HTTP answer other than 200: 404 " にデータがありません", else
// " でエラー HTTP " and the status.
std::string HttpFailure(const std::string& host, int status);
// A run that has shown registration data and then lost an optional
// follow-up: "完了 (" + failure + ")".
std::string DoneExcept(const std::string& failure);

// The status text of an error that ended a run: "エラー" and the error's
// message (UTF-8, as exceptions carry it; bytes that are not UTF-8 become
// U+FFFD).
std::string ErrorStatus(const std::string& utf8Message);

// The status of a run that does not start because puny::MapTypedName refused
// the typed name: `typed` and why:
//   kDisallowedCharacter  " はドメイン名として使えない文字を含みます"
//   kHyphenPlacement      " はハイフンの位置がドメイン名の規則に合いません"
//   kLeadingCombiningMark " はラベルが結合文字 (アクセント記号など) で始まっています"
//   kBidiRule             " は右から左へ書く文字の混ぜ方がドメイン名の規則に合いません"
//   kContextRule          " は前後の文字によっては使えない文字 (ゼロ幅接合子、中点など) を含みます"
//   kEmptyLabel           " は空のラベルを含みます (ドットが続いているか先頭にあります)"
//   kLabelTooLong         " はラベルが長すぎます (Punyコードで 63 文字まで)"
//   kNameTooLong          " は長すぎます (Punyコードで 253 文字まで)"
//   kBadAceLabel          " は Punyコードとして正しくない xn-- ラベルを含みます"
// Precondition: refusal is not kNone, `typed` is UTF-8.
std::string NameRefusalStatus(puny::NameRefusal refusal, std::string_view typed);

// An RDAP answer with HTTP 200 whose body is no registration data:
// host + " の応答は RDAP のデータではありません (" + the kind + ")", the kind one of
// "HTML", "テキスト", "バイナリ", "途中で切れた JSON", "RDAP 以外の JSON", "空".
// Precondition: kind is not kRdap.
std::string NotRdapFailure(const std::string& host, rdap::BodyKind kind);

// An RDAP answer whose content coding could not be undone: host, then
//   kUnknownCoding " の応答は対応していない圧縮形式です"
//   kCorrupt       " の応答の圧縮データが壊れています"
//   kCutOff        " の応答の圧縮データが途中で切れています"
// then " (" + label + ")" (label: rdap::CodingLabel of the header, untrusted
// but printable). Precondition: fault is not kNone.
std::string CodingFailure(const std::string& host, rdap::CodingFault fault,
                          const std::string& label);

// The one line a binary body is shown as, in place of its bytes:
// "(バイナリデータのため表示しません: " + size + " バイト)".
std::string BinaryNotShownLine(std::size_t size);

// A server that refused the query because the asker went past its query
// limit: host + " で問い合わせ回数の制限を超えました", and when the server said when to
// come back, " (" + seconds + " 秒後に再試行できます)"; from 120 seconds on the wait
// is told in minutes, rounded up: " (" + minutes + " 分後に再試行できます)".
std::string RateLimitStatus(const std::string& host,
                            std::optional<std::uint32_t> retryAfterSeconds);

// A connection through `proxy` (its host:port) to `host` that the proxy
// ended, for the proxy's codes (net/error_codes.h):
//   12165 "プロキシ " + proxy + " に接続できません"
//   12901 "プロキシ " + proxy + " が " + host + " への接続を断りました"
//   12902 "プロキシ " + proxy + " が認証を求めています"
//   12903 "プロキシ " + proxy + " の応答を読み取れません"
// Nothing for any other code: the server's own outcome is told as without
// a proxy.
// How a waiting status names a server reached through `proxy`:
// host + " (プロキシ " + proxy + " 経由)".
std::string ThroughProxyLabel(const std::string& host, const std::string& proxy);

std::optional<std::string> ProxyFailure(const std::string& proxy, const std::string& host,
                                        std::uint16_t code);

}  // namespace torvane::run
