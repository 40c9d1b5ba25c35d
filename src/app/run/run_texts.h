#pragma once
// The texts a run shows, in CP932.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
};

const RunTexts& Texts();

// The name a run title line ("         【" + name + " の調査結果】") names; nothing for any
// other line.
std::optional<std::string> RunTitleName(std::string_view line);

// The status text for a leg's completion code other than 0.
std::string StatusForCode(std::uint16_t code);

// The status text of an error that ended a run: "エラー" and the error's
// message (UTF-8, as exceptions carry it; characters CP932 lacks become '?').
std::string ErrorStatus(const std::string& utf8Message);

}  // namespace torvane::run
