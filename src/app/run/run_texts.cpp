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

std::string ErrorStatus(const std::string& utf8Message) {
    return Texts().error + Sjis(utf8Message);
}

}  // namespace torvane::run
