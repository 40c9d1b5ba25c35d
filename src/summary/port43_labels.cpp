#include "summary/port43_labels.h"

#include <array>
#include <cstddef>
#include <unordered_map>
#include <vector>

namespace torvane::summary::port43 {
namespace {

constexpr Label Row(std::string_view text, Field field, Role role = Role::value,
                    Scope scope = kDomainish, Kind starts = Kind::keep) {
    return {text, field, role, scope, starts};
}

// The labels that only open an object, and say nothing themselves.
constexpr Label Opens(std::string_view text, Kind kind) {
    return {text, Field::registrar, Role::start, kAnywhere, kind};
}

// ICANN's "Label: value" format of gTLD registries and registrars: the
// 2013 RAA and registry agreement form (2014 thick answers, and today's),
// and the thin registry form of before, whose answers hold the host
// records a query matched before its domain. Read from the recorded
// answers of whois.verisign-grs.com (google.com 2014 and 2020, google.net
// 2014, the .net record of 2011), whois.markmonitor.com (google.com 2017,
// 2019), whois.nic.xyz (abc.xyz 2025) and the .org registry's answer in
// whois.iana.org/icann.org_2025.txt.
constexpr std::array kIcann = {
    Row("Domain Name", Field::registrar, Role::recordName, kAnywhere, Kind::domain),
    Row("Server Name", Field::registrar, Role::hostName, kAnywhere, Kind::host),
    Row("Registrar", Field::registrar),
    Row("Sponsoring Registrar", Field::registrar),
    Row("Registrar IANA ID", Field::registrarIanaId),
    Row("Sponsoring Registrar IANA ID", Field::registrarIanaId),
    Row("Registrant Organization", Field::registrant),
    Row("Registrant Organisation", Field::registrant),
    Row("Registrant Name", Field::registrant, Role::fallback),
    Row("Creation Date", Field::created),
    Row("Created On", Field::created),
    Row("Updated Date", Field::updated),
    Row("Last Updated On", Field::updated),
    Row("Registry Expiry Date", Field::expires),
    Row("Registrar Registration Expiration Date", Field::expires),
    Row("Expiration Date", Field::expires),
    Row("Domain Status", Field::status),
    Row("Status", Field::status),
    Row("Name Server", Field::nameServer),
    Row("DNSSEC", Field::dnssec),
    Row("Registrar Abuse Contact Email", Field::abuse),
    Row("Registrar Abuse Contact Phone", Field::abuse, Role::fallback),
};

// The ccTLD forms of the recorded answers, each from its registry's answers:
//   DENIC (whois.denic.de: google.de 2020, xn--fw-via.de): Domain, Domain-Ace,
//     Nserver, Changed;
//   AFNIC (whois.nic.fr: google.fr 2014): RPSL-like objects, the holder by
//     its handle (holder-c) in a "nic-hdl:" object's "contact:";
//   Nominet (whois.nic.uk: google.co.uk 2018) and SIDN (whois.sidn.nl:
//     app.nl 2025): values on the indented lines under their label;
//   DNS Belgium (whois.dns.be: google.be 2014): "Registrar:" over "Name:";
//   auDA (whois.auda.org.au: google.com.au 2018), CNNIC (whois.cnnic.cn:
//     cnnic.cn): ICANN-like labels of their own;
//   KISA (whois.kr: google.kr 2020): a Korean section, then an English one;
//   TWNIC (whois.twnic.net.tw: cabco.com.tw): indented blocks, and the
//     phrases of Phrases().
constexpr std::array kCctld = {
    // DENIC, DNS Belgium, AFNIC
    Row("Domain", Field::registrar, Role::recordName, kAnywhere, Kind::domain),
    Row("Domain-Ace", Field::registrar, Role::recordAlias, kAnywhere),
    Row("Nserver", Field::nameServer),
    Row("Changed", Field::updated),
    // AFNIC
    Row("created", Field::created),
    Row("last-update", Field::updated),
    Row("holder-c", Field::registrant, Role::handleRef),
    Row("contact", Field::registrant, Role::handleName, kAnywhere),
    // Nominet, SIDN, DNS Belgium, TWNIC (values on the lines below)
    Row("Registrant", Field::registrant),
    Row("Registered on", Field::created),
    Row("Expiry date", Field::expires),
    Row("Last updated", Field::updated),
    Row("Registration status", Field::status),
    Row("Name servers", Field::nameServer),
    Row("Nameservers", Field::nameServer),
    Row("Domain nameservers", Field::nameServer),
    Row("Abuse Contact", Field::abuse),
    Row("Registered", Field::created, Role::value, Bit(Kind::domain)),  // not a registrar's own
    Row("Domain servers in listed order", Field::nameServer),
    Row("Registration Service Provider", Field::registrar),
    // auDA
    Row("Registrar Name", Field::registrar),
    Row("Last Modified", Field::updated),
    // CNNIC
    Row("Registration Date", Field::created),
    Row("Registration Time", Field::created),
    Row("Expiration Time", Field::expires),
    // KISA, Korean section
    Row("도메인이름", Field::registrar, Role::recordName, kAnywhere, Kind::domain),
    Row("등록인", Field::registrant),
    Row("등록일", Field::created),
    Row("최근 정보 변경일", Field::updated),
    Row("사용 종료일", Field::expires),
    Row("등록대행자", Field::registrar),
    Row("호스트이름", Field::nameServer),
    // KISA, English section
    Row("Registered Date", Field::created),
    Row("Last Updated Date", Field::updated),
    Row("Authorized Agency", Field::registrar),
    Row("Host Name", Field::nameServer),
};

// The RIRs' fields. RPSL objects of the RIPE NCC, APNIC, AFRINIC and
// LACNIC (whois.ripe.net: inetnum 2013, AS62041's routes; whois.apnic.net:
// 171 2024; whois.afrinic.net: 105.158 2021; whois.lacnic.net: 170 2024;
// IANA's own in whois.iana.org/171.txt), whose holder is the organisation's
// org-name, else the resource's descr; and ARIN's (whois.arin.net: the four
// referral answers and no-referral.txt), whose answers hold the less
// specific network before the more specific one.
constexpr std::array kRir = {
    // RPSL
    Row("inetnum", Field::range, Role::rangeOrCidr, kNetwork, Kind::network),
    Row("inet6num", Field::range, Role::rangeOrCidr, kNetwork, Kind::network),
    Row("netname", Field::netName, Role::value, kNetwork),
    Row("aut-num", Field::asNumber, Role::value, Bit(Kind::asNumber), Kind::asNumber),
    Row("as-name", Field::asName, Role::value, Bit(Kind::asNumber)),
    Row("org-name", Field::holder, Role::value, kHolder),
    Row("owner", Field::holder, Role::value, kResource),
    Row("descr", Field::holder, Role::fallback, kResource),
    Row("country", Field::country, Role::value, kHolder),
    Row("created", Field::allocated, Role::value, kNetwork),
    Row("abuse-mailbox", Field::abuse, Role::value, kAnywhere),
    Row("abuse-c", Field::abuse, Role::handleRef, kResource),
    Row("nic-hdl", Field::abuse, Role::handle, kAnywhere, Kind::contact),
    Row("nic-hdl-br", Field::abuse, Role::handle, kAnywhere, Kind::contact),
    Row("person", Field::abuse, Role::handleName, kAnywhere, Kind::contact),
    Row("role", Field::abuse, Role::handleName, kAnywhere, Kind::contact),
    Row("e-mail", Field::abuse, Role::handleMail, kAnywhere),
    Opens("organisation", Kind::org),
    Opens("irt", Kind::contact),
    Opens("route", Kind::other),
    Opens("route6", Kind::other),
    Opens("mntner", Kind::other),
    Opens("as-set", Kind::other),
    Opens("route-set", Kind::other),
    // ARIN
    Row("NetRange", Field::range, Role::value, kNetwork, Kind::network),
    Row("CIDR", Field::cidr, Role::cidrList, kNetwork),
    Row("ASNumber", Field::asNumber, Role::value, Bit(Kind::asNumber), Kind::asNumber),
    Row("ASName", Field::asName, Role::value, Bit(Kind::asNumber)),
    Row("OrgName", Field::holder, Role::value, kHolder, Kind::org),
    Row("CustName", Field::holder, Role::value, kHolder, Kind::org),
    Row("RegDate", Field::allocated, Role::value, kNetwork),
    Row("OrgAbuseEmail", Field::abuse, Role::value, kAnywhere),
    Row("RAbuseEmail", Field::abuse, Role::value, kAnywhere),
    Row("OrgAbusePhone", Field::abuse, Role::fallback, kAnywhere),
    Row("RAbusePhone", Field::abuse, Role::fallback, kAnywhere),
    Opens("OrgAbuseHandle", Kind::contact),
    Opens("OrgTechHandle", Kind::contact),
    Opens("OrgNOCHandle", Kind::contact),
    Opens("OrgRoutingHandle", Kind::contact),
    Opens("OrgDNSHandle", Kind::contact),
    Opens("RAbuseHandle", Kind::contact),
    Opens("RTechHandle", Kind::contact),
    Opens("RNOCHandle", Kind::contact),
};

// JPRS's bracketed labels, Japanese and English ("/e"), with the letter
// prefixes of the attribute-type names (co.jp, ne.jp, ac.jp...) and without
// them (general-use .jp), from every answer of whois.jprs.jp in the
// recorded answers (the ISO-2022-JP ones of 2014 read after decoding) and
// the JPRS parts of whois.iana.org/rakuten.co.jp_2025.txt and sony.jp_2025.txt.
// The registrant is [登録者名] for general-use names, [組織名] for
// attribute-type ones and [ネットワークサービス名] for ne.jp.
constexpr std::array kJprs = {
    Row("ドメイン名", Field::registrar, Role::recordName, kAnywhere, Kind::domain),
    Row("Domain Name", Field::registrar, Role::recordName, kAnywhere, Kind::domain),
    Row("ホスト名", Field::registrar, Role::hostName, kAnywhere, Kind::host),
    Row("Host Name", Field::registrar, Role::hostName, kAnywhere, Kind::host),
    Row("登録者名", Field::registrant),
    Row("Registrant", Field::registrant),
    Row("組織名", Field::registrant),
    Row("Organization", Field::registrant),
    Row("ネットワークサービス名", Field::registrant),
    Row("Network Service Name", Field::registrant),
    Row("登録年月日", Field::created),
    Row("Created on", Field::created),
    Row("Registered Date", Field::created),
    Row("有効期限", Field::expires),
    Row("Expires on", Field::expires),
    Row("最終更新", Field::updated),
    Row("Last Updated", Field::updated),
    Row("Last Update", Field::updated),
    Row("状態", Field::status, Role::jprsState),
    Row("Status", Field::status, Role::jprsState),
    Row("State", Field::status, Role::jprsState),
    Row("ロック状態", Field::status),
    Row("Lock Status", Field::status),
    Row("ネームサーバ", Field::nameServer),
    Row("Name Server", Field::nameServer),
    Row("署名鍵", Field::dnssec),
    Row("Signing Key", Field::dnssec),
};

// JPNIC's bracketed labels for networks and AS numbers, Japanese and
// English, after the format JPNIC publishes for whois.nic.ad.jp (no answer
// of JPNIC is among the recorded ones; tests/data/summary holds a made-up
// one in that format).
constexpr std::array kJpnic = {
    Row("IPネットワークアドレス", Field::range, Role::rangeOrCidr, kNetwork, Kind::network),
    Row("Network Number", Field::range, Role::rangeOrCidr, kNetwork, Kind::network),
    Row("ネットワーク名", Field::netName, Role::value, kNetwork),
    Row("Network Name", Field::netName, Role::value, kNetwork),
    Row("AS番号", Field::asNumber, Role::value, Bit(Kind::asNumber), Kind::asNumber),
    Row("AS Number", Field::asNumber, Role::value, Bit(Kind::asNumber), Kind::asNumber),
    Row("AS名", Field::asName, Role::value, Bit(Kind::asNumber)),
    Row("AS Name", Field::asName, Role::value, Bit(Kind::asNumber)),
    Row("組織名", Field::holder, Role::value, kResource),
    Row("Organization", Field::holder, Role::value, kResource),
    Row("割当年月日", Field::allocated, Role::value, kNetwork),
    Row("Assigned Date", Field::allocated, Role::value, kNetwork),
};

constexpr std::array<std::span<const Label>, 3> kColonTables = {kIcann, kCctld, kRir};
constexpr std::array<std::span<const Label>, 2> kBracketTables = {kJprs, kJpnic};

// TWNIC (whois.twnic.net.tw/cabco.com.tw_utf8.txt).
constexpr std::array kPhrases = {
    Phrase{"Record expires on", Field::expires},
    Phrase{"Record created on", Field::created},
};

// DNS Belgium (whois.dns.be/google.be_2014.txt).
constexpr std::array<std::string_view, 3> kBlockNames = {"Name", "Organisation", "Organization"};

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::span<const std::span<const Label>> ColonTables() { return kColonTables; }
std::span<const std::span<const Label>> BracketTables() { return kBracketTables; }
std::span<const Phrase> Phrases() { return kPhrases; }
std::span<const std::string_view> BlockNameLabels() { return kBlockNames; }

bool SameLabel(std::string_view a, std::string_view b) {
    const auto trim = [](std::string_view& s) {
        while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
        while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    };
    trim(a);
    trim(b);
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsSpace(a[i]) && IsSpace(b[j])) {
            while (IsSpace(a[i])) ++i;  // a run inside a trimmed label ends before its end
            while (IsSpace(b[j])) ++j;
            continue;
        }
        if (Lower(a[i]) != Lower(b[j])) return false;
        ++i;
        ++j;
    }
    return i == a.size() && j == b.size();
}

namespace {

// The label as SameLabel compares it: ASCII lower case, runs of spaces and
// tabs as one space, none at either end.
std::string Folded(std::string_view label) {
    std::string folded;
    folded.reserve(label.size());
    for (const char c : label) {
        if (IsSpace(c)) {
            if (!folded.empty() && folded.back() != ' ') folded.push_back(' ');
        } else {
            folded.push_back(Lower(c));
        }
    }
    if (!folded.empty() && folded.back() == ' ') folded.pop_back();
    return folded;
}

// Every line of an answer is looked up, several times: one hash lookup,
// not a walk over every row of every table. The rows of a label keep their
// table order.
class LabelIndex {
  public:
    explicit LabelIndex(std::span<const std::span<const Label>> tables) {
        for (std::span<const Label> table : tables)
            for (const Label& row : table) rows_[Folded(row.text)].push_back(&row);
    }
    std::span<const Label* const> RowsOf(std::string_view label) const {
        const auto found = rows_.find(Folded(label));
        return found == rows_.end() ? std::span<const Label* const>() : found->second;
    }

  private:
    std::unordered_map<std::string, std::vector<const Label*>> rows_;
};

const LabelIndex& IndexOf(std::span<const std::span<const Label>> tables) {
    static const LabelIndex colon(ColonTables());
    static const LabelIndex bracket(BracketTables());
    return tables.data() == BracketTables().data() ? bracket : colon;
}

}  // namespace

const Label* FindLabel(std::span<const std::span<const Label>> tables, std::string_view label,
                       Kind kind) {
    for (const Label* row : IndexOf(tables).RowsOf(label))
        if ((row->scope & Bit(kind)) != 0) return row;
    return nullptr;
}

bool KnownLabel(std::span<const std::span<const Label>> tables, std::string_view label) {
    return !IndexOf(tables).RowsOf(label).empty();
}

Kind StartedKind(std::span<const std::span<const Label>> tables, std::string_view label) {
    for (const Label* row : IndexOf(tables).RowsOf(label))
        if (row->starts != Kind::keep) return row->starts;
    return Kind::keep;
}

}  // namespace torvane::summary::port43
