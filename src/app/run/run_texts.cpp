#include "app/run/run_texts.h"

#include "app/run/sjis.h"

namespace torvane::run {

const RunTexts& Texts() {
    static const RunTexts texts{
        Sjis("調査開始．．．"),
        Sjis("DNS 情報を取得しています..."),
        Sjis("データベースが見つかりません"),
        Sjis("中止"),
        Sjis("完了"),
        Sjis("WHOISサービスを利用できません"),
        Sjis("ホストが見つかりません"),
        Sjis("エラー"),
        Sjis("エラー #"),
        Sjis("に接続中．．．"),
        Sjis("         【"),
        Sjis(" の調査結果】"),
        Sjis(" の調査結果 - Torvane"),
        Sjis("{IPアドレス}"),
        Sjis("{Punyコード}"),
        Sjis("{ドメイン名}"),
        Sjis(" (逆引きアドレス："),
        Sjis(" についてのデータベースが見つかりません。"),
        Sjis(" を参考にしてください。"),
        Sjis(" からの回答"),
        Sjis("回答が大きすぎるため途中で打ち切りました"),
        Sjis(" (RDAP)"),
        Sjis(" への接続を待っています．．．"),
        Sjis("、"),
        Sjis(" が見つかりません"),
        Sjis(" に接続を拒否されました"),
        Sjis(" の応答がタイムアウトしました"),
        Sjis(" に到達できません"),
        Sjis(" でエラー #"),
        Sjis(" でエラー HTTP "),
        Sjis(" にデータがありません"),
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
    return Texts().error + Sjis(utf8Message);
}

}  // namespace torvane::run
