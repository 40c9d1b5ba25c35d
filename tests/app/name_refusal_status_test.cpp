// The status a run shows for a typed name that cannot be asked.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/run/run_texts.h"
#include "puny/typed_name.h"

namespace torvane::run {
namespace {

using puny::NameRefusal;

TEST(NameRefusalStatus, NamesTheTypedNameAndWhyInUtf8) {
    const std::string typed = "😀.com";
    const puny::TypedName name = puny::MapTypedName(typed);
    ASSERT_EQ(name.refusal, NameRefusal::kDisallowedCharacter);
    EXPECT_EQ(NameRefusalStatus(name.refusal, typed),
              "😀.com はドメイン名として使えない文字を含みます");
}

TEST(NameRefusalStatus, EveryReasonHasATextOfItsOwn) {
    std::set<std::string> texts;
    const auto last = static_cast<int>(NameRefusal::kBadAceLabel);
    for (int reason = static_cast<int>(NameRefusal::kDisallowedCharacter); reason <= last;
         ++reason) {
        const std::string status = NameRefusalStatus(static_cast<NameRefusal>(reason), "例.jp");
        EXPECT_TRUE(status.starts_with("例.jp は")) << reason << ": " << status;
        EXPECT_GT(status.size(), std::string("例.jp は").size() + 6) << reason;
        texts.insert(status);
    }
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(last));
}

}  // namespace
}  // namespace torvane::run
