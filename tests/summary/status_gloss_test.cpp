// The glosses of registration states: each state as the registries and RDAP
// services write it finds its gloss, and nothing else does.
#include "summary/status_gloss.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace torvane::summary {
namespace {

TEST(StatusGloss, StatesAsRegistriesWriteThemFindTheirGloss) {
    const struct {
        std::string_view value;
        std::string_view gloss;
    } cases[] = {
        // EPP codes, bare and with the URL ICANN's format puts after them
        // (bare, or in brackets as registrars write it).
        {"clientTransferProhibited", "移転禁止 (レジストラ設定)"},
        {"serverTransferProhibited", "移転禁止 (レジストリ設定)"},
        {"clientDeleteProhibited https://icann.org/epp#clientDeleteProhibited",
         "削除禁止 (レジストラ設定)"},
        {"clientUpdateProhibited (https://www.icann.org/epp#clientUpdateProhibited)",
         "変更禁止 (レジストラ設定)"},
        {"serverHold https://icann.org/epp#serverHold", "DNS公開停止 (レジストリ設定)"},
        {"ok", "正常 (制限なし)"},
        {"redemptionPeriod", "削除後の復旧猶予期間"},
        {"pendingDelete", "削除待ち"},
        // Case, spaces and underscores do not matter: RDAP's spellings and
        // the upper case of old thin registries.
        {"client transfer prohibited", "移転禁止 (レジストラ設定)"},
        {"CLIENTTRANSFERPROHIBITED", "移転禁止 (レジストラ設定)"},
        {"server_update_prohibited", "変更禁止 (レジストリ設定)"},
        {"  auto renew period  ", "自動更新の猶予期間"},
        {"pending restore", "復旧処理中"},
        {"associated", "他の登録から参照あり"},
        {"locked", "ロック中"},
        {"removed", "情報削除済み"},
        // JPRS: states with the expiry in brackets, and lock states.
        {"Active", "有効"},
        {"ACTIVE", "有効"},
        {"Connected (2026/04/30)", "接続中"},
        {"To be suspended (2026/01/31)", "廃止予定 (廃止申請済み)"},
        {"Suspended", "廃止"},
        {"Reserved", "予約ドメイン名"},
        {"AgentChangeLocked", "指定事業者変更ロック"},
        {"DomainTransferLocked", "ドメイン名移転ロック"},
        {"DomainUpdateLocked", "登録情報変更ロック"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(StatusGloss(c.value), std::optional<std::string_view>(c.gloss));
    }
}

TEST(StatusGloss, OtherTextsHaveNoGloss) {
    for (std::string_view value :
         {"", "   ", "https://icann.org/epp#clientHold", "(clientHold)",
          "Registered until expiry date.", "ASSIGNED PA", "clientTransferProhibitedX", "client",
          "NOT AVAILABLE", "suspended indefinitely"}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(StatusGloss(value), std::nullopt);
    }
}

}  // namespace
}  // namespace torvane::summary
