#include "summary/status_gloss.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace torvane::summary {
namespace {

struct Gloss {
    std::string_view state;  // as the source spells it; compared as StatusGloss compares
    std::string_view gloss;
};

// The states and their glosses. EPP codes cover their RDAP spellings too:
// RFC 8056 writes clientTransferProhibited as "client transfer prohibited",
// which compares equal once spaces are ignored; only where RFC 8056 renames
// a code (ok -> active, linked -> associated) is there a row of its own.
constexpr std::array kGlosses = {
    // RFC 5731 section 2.3: the EPP domain status values.
    Gloss{"clientDeleteProhibited", "削除禁止 (レジストラ設定)"},
    Gloss{"serverDeleteProhibited", "削除禁止 (レジストリ設定)"},
    Gloss{"clientHold", "DNS公開停止 (レジストラ設定)"},
    Gloss{"serverHold", "DNS公開停止 (レジストリ設定)"},
    Gloss{"clientRenewProhibited", "更新禁止 (レジストラ設定)"},
    Gloss{"serverRenewProhibited", "更新禁止 (レジストリ設定)"},
    Gloss{"clientTransferProhibited", "移転禁止 (レジストラ設定)"},
    Gloss{"serverTransferProhibited", "移転禁止 (レジストリ設定)"},
    Gloss{"clientUpdateProhibited", "変更禁止 (レジストラ設定)"},
    Gloss{"serverUpdateProhibited", "変更禁止 (レジストリ設定)"},
    Gloss{"inactive", "ネームサーバ未設定"},
    Gloss{"ok", "正常 (制限なし)"},
    Gloss{"linked", "他の登録から参照あり"},
    Gloss{"pendingCreate", "登録処理中"},
    Gloss{"pendingDelete", "削除待ち"},
    Gloss{"pendingRenew", "更新処理中"},
    Gloss{"pendingTransfer", "移転処理中"},
    Gloss{"pendingUpdate", "変更処理中"},
    // RFC 3915 section 3.1: the grace periods of the registry grace period
    // mapping, and its pending restore.
    Gloss{"addPeriod", "新規登録の猶予期間"},
    Gloss{"autoRenewPeriod", "自動更新の猶予期間"},
    Gloss{"renewPeriod", "更新の猶予期間"},
    Gloss{"transferPeriod", "移転の猶予期間"},
    Gloss{"redemptionPeriod", "削除後の復旧猶予期間"},
    Gloss{"pendingRestore", "復旧処理中"},
    // RFC 9083 section 10.2.2 and RFC 8056: the RDAP status values that are
    // not an EPP code spelled with spaces. "active" is also JPRS's state of
    // a registered general-use name.
    Gloss{"active", "有効"},
    Gloss{"associated", "他の登録から参照あり"},
    Gloss{"validated", "検証済み"},
    Gloss{"renew prohibited", "更新禁止"},
    Gloss{"update prohibited", "変更禁止"},
    Gloss{"transfer prohibited", "移転禁止"},
    Gloss{"delete prohibited", "削除禁止"},
    Gloss{"locked", "ロック中"},
    Gloss{"proxy", "代理登録"},
    Gloss{"private", "非公開"},
    Gloss{"removed", "情報削除済み"},
    Gloss{"obscured", "一部伏せ字"},
    // JPRS's states ([状態], [Status], [State]): "Connected (2026/03/31)"
    // names the expiry in its bracket.
    Gloss{"Connected", "接続中"},
    Gloss{"Reserved", "予約ドメイン名"},
    Gloss{"To be suspended", "廃止予定 (廃止申請済み)"},
    Gloss{"Suspended", "廃止"},
    Gloss{"Deleted", "削除済み"},
    // JPRS's lock states ([ロック状態], [Lock Status]).
    Gloss{"AgentChangeLocked", "指定事業者変更ロック"},
    Gloss{"DomainTransferLocked", "ドメイン名移転ロック"},
    Gloss{"DomainUpdateLocked", "登録情報変更ロック"},
    // DENIC's state of a registered name in the zone (whois.denic.de).
    Gloss{"connect", "登録済み (DNS接続)"},
};

bool Ignored(char c) { return c == ' ' || c == '\t' || c == '_'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal without regard to ASCII case, spaces, tabs and underscores.
bool SameState(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && Ignored(a[i])) ++i;
        while (j < b.size() && Ignored(b[j])) ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (Lower(a[i]) != Lower(b[j])) return false;
        ++i;
        ++j;
    }
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t k = 0; k < prefix.size(); ++k) {
        if (Lower(text[k]) != prefix[k]) return false;
    }
    return true;
}

// The words that name the state: everything before a bracket or a URL.
std::string_view StateWords(std::string_view value) {
    const std::size_t end = std::min(value.find_first_of("(["), value.size());
    for (std::size_t at = 0; at < end; ++at) {
        const std::string_view rest = value.substr(at);
        if (StartsWithNoCase(rest, "http://") || StartsWithNoCase(rest, "https://"))
            return value.substr(0, at);
    }
    return value.substr(0, end);
}

}  // namespace

std::optional<std::string_view> StatusGloss(std::string_view value) {
    const std::string_view words = StateWords(value);
    for (const Gloss& row : kGlosses) {
        if (SameState(words, row.state)) return row.gloss;
    }
    return std::nullopt;
}

}  // namespace torvane::summary
