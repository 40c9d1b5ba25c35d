#include "app/run/run_texts.h"

#include "unicode/utf8_walk.h"

namespace torvane::run {

const RunTexts& Texts() {
    static const RunTexts texts{
        "調査開始．．．",
        "DNS 情報を取得しています...",
        "データベースが見つかりません",
        "中止",
        "完了",
        "WHOISサービスを利用できません",
        "ホストが見つかりません",
        "エラー",
        "エラー #",
        "に接続中．．．",
        "         【",
        " の調査結果】",
        " の調査結果 - Torvane",
        "{IPアドレス}",
        "{Punyコード}",
        "{ドメイン名}",
        " (逆引きアドレス：",
        " についてのデータベースが見つかりません。",
        " を参考にしてください。",
        " からの回答",
        "回答が大きすぎるため途中で打ち切りました",
        " (RDAP)",
        " への接続を待っています．．．",
        "、",
        " が見つかりません",
        " に接続を拒否されました",
        " の応答がタイムアウトしました",
        " に到達できません",
        " でエラー #",
        " でエラー HTTP ",
        " にデータがありません",
        " の応答は RDAP のデータではありません",
        "HTML",
        "テキスト",
        "バイナリ",
        "途中で切れた JSON",
        "RDAP 以外の JSON",
        "空",
        " の応答は対応していない圧縮形式です",
        " の応答の圧縮データが壊れています",
        " の応答の圧縮データが途中で切れています",
        "(バイナリデータのため表示しません: ",
        " バイト)",
        " で問い合わせ回数の制限を超えました",
        " 秒後に再試行できます)",
        " 分後に再試行できます)",
        "プロキシ ",
        " に接続できません",
        " が ",
        " への接続を断りました",
        " が認証を求めています",
        " の応答を読み取れません",
        " 経由)",
    };
    return texts;
}

std::optional<std::string> RunTitleName(std::string_view line) {
    const RunTexts& text = Texts();
    if (line.size() < text.titleOpen.size() + text.titleClose.size() ||
        !line.starts_with(text.titleOpen) || !line.ends_with(text.titleClose))
        return std::nullopt;
    line.remove_prefix(text.titleOpen.size());
    line.remove_suffix(text.titleClose.size());
    return std::string(line);
}

std::string StatusForCode(std::uint16_t code) {
    const RunTexts& text = Texts();
    switch (code) {
        case 10061:  // connection refused
            return text.serviceRefused;
        case 10060:  // connection attempt timed out
            return text.hostNotFound;
        default:
            return text.errorNumber + std::to_string(code);
    }
}

std::string WaitingStatus(const std::vector<std::string>& hosts) {
    const RunTexts& text = Texts();
    std::string status;
    for (const std::string& host : hosts) {
        if (!status.empty()) status += text.hostSeparator;
        status += host;
    }
    return status + text.waitingFor;
}

std::string HostFailure(const std::string& host, std::uint16_t code) {
    const RunTexts& text = Texts();
    switch (code) {
        case 11001:  // host not found
            return host + text.notFound;
        case 10061:  // connection refused
            return host + text.refused;
        case 10060:  // timed out
            return host + text.timedOut;
        case 10065:  // host unreachable
        case 10051:  // network unreachable
            return host + text.unreachable;
        default:
            return host + text.errorAt + std::to_string(code);
    }
}

std::string HttpFailure(const std::string& host, int status) {
    const RunTexts& text = Texts();
    if (status == 404) return host + text.noDataAt;
    return host + text.httpErrorAt + std::to_string(status);
}

std::string DoneExcept(const std::string& failure) { return Texts().done + " (" + failure + ")"; }

std::string ErrorStatus(const std::string& utf8Message) {
    // A system message in another locale's code must not break the text.
    return Texts().error + unicode::MendUtf8(utf8Message);
}

std::string NameRefusalStatus(puny::NameRefusal refusal, std::string_view typed) {
    using puny::NameRefusal;
    const char* why = "";
    switch (refusal) {
        case NameRefusal::kNone:
            break;
        case NameRefusal::kDisallowedCharacter:
            why = " はドメイン名として使えない文字を含みます";
            break;
        case NameRefusal::kHyphenPlacement:
            why = " はハイフンの位置がドメイン名の規則に合いません";
            break;
        case NameRefusal::kLeadingCombiningMark:
            why = " はラベルが結合文字 (アクセント記号など) で始まっています";
            break;
        case NameRefusal::kBidiRule:
            why = " は右から左へ書く文字の混ぜ方がドメイン名の規則に合いません";
            break;
        case NameRefusal::kContextRule:
            why = " は前後の文字によっては使えない文字 (ゼロ幅接合子、中点など) を含みます";
            break;
        case NameRefusal::kEmptyLabel:
            why = " は空のラベルを含みます (ドットが続いているか先頭にあります)";
            break;
        case NameRefusal::kLabelTooLong:
            why = " はラベルが長すぎます (Punyコードで 63 文字まで)";
            break;
        case NameRefusal::kNameTooLong:
            why = " は長すぎます (Punyコードで 253 文字まで)";
            break;
        case NameRefusal::kBadAceLabel:
            why = " は Punyコードとして正しくない xn-- ラベルを含みます";
            break;
    }
    return std::string(typed) + why;
}

std::string NotRdapFailure(const std::string& host, rdap::BodyKind kind) {
    const RunTexts& text = Texts();
    const std::string* what = &text.kindText;
    switch (kind) {
        case rdap::BodyKind::kRdap:
        case rdap::BodyKind::kText:
            break;
        case rdap::BodyKind::kHtml:
            what = &text.kindHtml;
            break;
        case rdap::BodyKind::kBinary:
            what = &text.kindBinary;
            break;
        case rdap::BodyKind::kCutJson:
            what = &text.kindCutJson;
            break;
        case rdap::BodyKind::kOtherJson:
            what = &text.kindOtherJson;
            break;
        case rdap::BodyKind::kEmpty:
            what = &text.kindEmpty;
            break;
    }
    return host + text.notRdap + " (" + *what + ")";
}

std::string CodingFailure(const std::string& host, rdap::CodingFault fault,
                          const std::string& label) {
    const RunTexts& text = Texts();
    const std::string* what = &text.corruptCoding;
    if (fault == rdap::CodingFault::kUnknownCoding) what = &text.unknownCoding;
    if (fault == rdap::CodingFault::kCutOff) what = &text.cutOffCoding;
    return host + *what + " (" + label + ")";
}

std::string BinaryNotShownLine(std::size_t size) {
    return Texts().binaryNotShown + std::to_string(size) + Texts().bytesClose;
}

std::string RateLimitStatus(const std::string& host,
                            std::optional<std::uint32_t> retryAfterSeconds) {
    const RunTexts& text = Texts();
    std::string status = host + text.rateLimited;
    if (!retryAfterSeconds) return status;
    const std::uint32_t seconds = *retryAfterSeconds;
    if (seconds < 120) return status + " (" + std::to_string(seconds) + text.retrySeconds;
    return status + " (" + std::to_string((seconds + 59) / 60) + text.retryMinutes;
}

std::string ThroughProxyLabel(const std::string& host, const std::string& proxy) {
    const RunTexts& text = Texts();
    return host + " (" + text.proxyOpen + proxy + text.proxyVia;
}

std::optional<std::string> ProxyFailure(const std::string& proxy, const std::string& host,
                                        std::uint16_t code) {
    const RunTexts& text = Texts();
    const std::string named = text.proxyOpen + proxy;
    switch (code) {
        case 12165:  // the proxy cannot be reached
            return named + text.proxyUnreachable;
        case 12901:  // the proxy refused the tunnel
            return named + text.proxyRefusedTo + host + text.proxyRefusedEnd;
        case 12902:  // the proxy wants credentials
            return named + text.proxyWantsAuth;
        case 12903:  // the proxy's reply is not its protocol
            return named + text.proxyBadReply;
        default:
            return std::nullopt;
    }
}

}  // namespace torvane::run
