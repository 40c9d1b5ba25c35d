#include "query/second_level_labels.h"

#include <algorithm>
#include <array>

#include "query/ascii_text.h"

namespace torvane::query {

namespace {

struct LabelRow {
    std::string_view domain;
    std::string_view labels;  // blank-separated
};

// One row per top-level domain that registers names below its own labels.
constexpr std::array kLabelRows{
    LabelRow{".jp", "ac ad co ed go gr lg ne or"},
    LabelRow{".uk",
             "ac co gov ltd me mod net nic nhs org plc police sch bl british-library icnet jet nls "
             "parliament govt orgn lea mil nel"},
    LabelRow{".us",
             "ak al ar az ca co ct dc de fl ga hi ia id il in ks ky la ma md me mi mn mo ms mt nc "
             "nd ne nh nj nm nv ny oh ok or pa ri sc sd tn tx ut va vt wa wi wv wy as gu pr vi dni "
             "fed isa kids nsn"},
    LabelRow{".au", "com net org edu gov csiro asn id act nsw nt qld sa tas vic wa"},
    LabelRow{".fr", "tm asso nom prd presse com gouv"},
    LabelRow{".cn",
             "ac com edu gov net org mil ah bj cq fj gd gs gz gx ha hb he hi hl hn jl js jx ln nm "
             "nx qh sc sd sh sn sx tj xj xz yn zj tw hk mo"},
    LabelRow{".hk", "com edu gov idv net org ust hku cuhk"},
    LabelRow{".tw", "edu gov mil com net org idv game ebiz club"},
    LabelRow{".kr",
             "co ne or re pe go mil ac hs ms es sc kg seoul busan daegu incheon gwangju daejeon "
             "ulsan gyeonggi gangwon chungbuk chungnam jeonbuk jeonnam gyeongbuk gyeongnam jeju"},
    LabelRow{".ca", "ab bc mb nb nf nl ns nt nu on pe qc sk yk"},
    LabelRow{".es", "com nom org gob edu"},
    LabelRow{".at", "gv ac co or priv"},
    LabelRow{".be", "ac"},
    LabelRow{".br",
             "adm adv agr am arq art ato bio blog bmd cim cng cnt com coop ecn edu eng esp etc eti "
             "far flog fm fnd fot fst g12 ggf gov imb ind inf jor lel mat med mil mus net nom not "
             "ntr odo org ppg pro psc psi qsl rec slg srv tmp trd tur tv vet vlog wiki zlg"},
    LabelRow{".nz", "cri govt iwi parliament mil ac co geek gen maori net org school"},
    LabelRow{".se", "a c d e f g h i k m n o s t u w x y z ac bd org pp tm parti press mil"},
    LabelRow{".za", "ac agric alt co edu gov law mil net ngo nis nom org school tm web"},
    LabelRow{".in", "co firm net org gen ind ac edu res ernet gov mil nic"},
    LabelRow{".id", "ac co net or web sch mil go"},
    LabelRow{".il", "ac co org net k12 gov muni idf"},
    LabelRow{".sg", "com net org gov edu per idn"},
    LabelRow{".th", "ac co in go mi or net"},
    LabelRow{".ve", "com net org info co web"},
    LabelRow{".tr",
             "com gen org biz info av dr pol bel mil nc bbs k12 edu name net gov web tel tv"},
    LabelRow{".ae", "net gov ac sch org mil pro name"},
    LabelRow{".af", "com edu gov net org law tv music hotel bank"},
    LabelRow{".ag", "com org net co nom"},
    LabelRow{".al", "gov edu org com net"},
    LabelRow{".ao", "ed gv og co pb it"},
    // "musica" completes the row with a further real second level of .ar.
    LabelRow{".ar",
             "com edu gov int mil net org ahorr athea congresodelalengua3 ctina educ "
             "gobiernoelectronico mecon nacion nic promocion retina uba musica"},
    LabelRow{".lv", "com edu gov org mil id net asn conf"},
    LabelRow{".uy", "com edu gub net mil org"},
};

// Every top-level domain without a row of its own.
constexpr std::string_view kDefaultLabels = "ac ad co ed go gr lg ne or com edu gov net org it mil";

bool ListHolds(std::string_view labels, std::string_view label) {
    while (!labels.empty()) {
        const std::size_t blank = labels.find(' ');
        if (EqualsIgnoreCase(labels.substr(0, blank), label)) return true;
        if (blank == std::string_view::npos) break;
        labels.remove_prefix(blank + 1);
    }
    return false;
}

}  // namespace

bool IsSecondLevelLabel(std::string_view domain, std::string_view label) {
    const auto row = std::find_if(kLabelRows.begin(), kLabelRows.end(),
                                  [&](const LabelRow& r) { return r.domain == domain; });
    return ListHolds(row == kLabelRows.end() ? kDefaultLabels : row->labels, label);
}

}  // namespace torvane::query
