#include "cli/help_text.h"

namespace torvane::cli {

std::string HelpText() {
    return R"(Usage: torvane-cli [OPTION]... QUERY

Look up QUERY the way the Torvane window does and print the report.

QUERY is one line as it would be typed into the window: a domain or host
name, an IPv4 address, a URL or a mail address (quote it when it holds
spaces or shell characters; use -- before a query that starts with "-").
Unless --no-fallback, also an IPv6 address (any RFC 4291 form, in brackets
as in a URL, with a prefix length "/n" or a zone "%eth0") or an AS number
("AS2497", "as2497", asdot "AS1.2"): the regional registry that IANA's
RDAP bootstrap names for it is asked at port 43 in its own form ("a 2497"
at ARIN, "AS2497" elsewhere; JPNIC first for APNIC's resources), then its
RDAP service.
The run is the window's run, step for step: the name is cleaned (and, with
auto-correct, cut to its registered domain), its DNS information is looked
up, the WHOIS server is chosen from the built-in directory (or --server),
"Whois Server:" and "Registrar WHOIS Server:" referrals, ARIN's
"ReferralServer:" and APNIC's "command line:" are followed, the contact
handles of the .jp registry and of JPNIC are asked at JPNIC, and an IPv4
address without a reverse name is asked at JPNIC, APNIC and ARIN together.
Every answer is converted to text and the whole report is printed once
every leg of the run is over.

Today's registries (the window's "IANA・RDAPで補完" box, on unless
--no-fallback): a top-level domain without a row in the directory is asked
at IANA's WHOIS server, which names the registry's server; rwhois:// and
whois:// referrals are asked on the port they name; and where port 43 gives
no registration data (a registry with a web page only, IANA naming no
server, a registry or registrar refusing or gone) the registry's RDAP
service is asked (HTTPS, IANA's RDAP bootstrap), and the registrar's RDAP
answer it points to; each RDAP answer is shown as text under a header
"{<host> からの回答 (RDAP)}". Always, without the
option too: a registry answer listing several objects is followed only in
the record of the domain asked, a referral to a web address is not
followed, and when a referred server fails the referring server's answer
is shown.

Options:
  --no-autocorrect     ask for QUERY as given instead of its registered
                       domain (the window's auto-correct check box off)
  --server HOST        ask HOST instead of the server from the directory
                       (the window's manual server)
  --no-fallback        the classic run only: no IANA, no RDAP, no ports
                       named by referrals (the window's "IANA・RDAPで補完"
                       box off)
  --rdap               ask RDAP only, never port 43: the registry's RDAP
                       service for a domain name or an IPv4 address, and
                       the registrar's answer it points to; no DNS step,
                       no history
  --rdap-json          as --rdap, but print each RDAP answer's JSON as it
                       came, one document per line (its line breaks become
                       spaces), instead of the report
  --json               print the whole run as one JSON document instead of
                       the report: the typed line, the names, the DNS
                       information, every answer block (server, port 43 or
                       RDAP, query, status, text, and RDAP's JSON), the
                       registration summary with the source of each fact,
                       the final status and the exit status; always UTF-8
                       (see the README for its members)
  --encoding ENC       encoding of standard output and standard error:
                       utf-8 (default) or cp932 (characters CP932 lacks
                       are written as "?")
  --timeout SECONDS    give up after SECONDS (decimals allowed, at most
                       86400): every leg is aborted, the status becomes
                       "中止", what arrived so far is printed and the exit
                       status is 1. The limit counts from the start, the
                       DNS information step included. Without it a run
                       lasts as long as the servers keep their connections
                       open.
  --raw                write answers unchanged even to a terminal (see
                       Output)
  --history            record QUERY in the history file "log.txt" like the
                       window does; without it the history is not touched
  -h, --help           show this help and exit
  --version            show the version and exit

Output:
  The report goes to standard output, one line per report line, each ended
  by LF. The status texts of the run go to standard error, one line each
  time the status changes: "調査開始．．．", a server's name followed by
  "に接続中．．．", "完了", "データベースが見つかりません", "中止", ...

  WHOIS answers are untrusted. When standard output (or standard error) is
  a terminal, no control character from an answer reaches it: ESC is shown
  as ^[, BEL as ^G, a zero byte as ^@, DEL as ^?, a C1 character such as
  U+009B as M-^[, a control that reorders text such as U+202E as
  <U+202E>, and a byte that is not part of a character as \xHH. TAB
  and the line ends are kept. With --raw, or when the output is a pipe or
  a file, the text passes unchanged.

Exit status:
  0  the run ended on "完了"
  1  the run ended on an error status ("WHOISサービスを利用できません",
     "ホストが見つかりません", "エラー #<code>", ...), found no database
     ("データベースが見つかりません"), ran out of --timeout ("中止"), or the
     history file could not be read or written
  2  bad usage: unknown option, missing or bad value, no query or more
     than one, an empty query, a query holding a control character (CR
     and LF would let one argument send extra lines to a server), or a
     query that is not UTF-8. Nothing is sent then. A name that cannot be
     a domain name (an emoji, say) ends the run with a status that says
     why, exit status 1, and nothing is sent.
  130, 143  interrupted by SIGINT or SIGTERM; the run is cancelled and
     what arrived so far is printed

Demonstration:
  ./scripts/run --demo --cli QUERY in the source tree runs torvane-cli
  against the bundled test server with recorded answers. Demo queries:
    google.co.jp 171.0.0.1 4.2.2.1 128.79.0.1 192.0.2.1 example.co.za
    google.com home.moscow 2001:4860:4860::8888 AS4608

Environment:
  TORVANE_HOST_MAP  comma-separated "host=address:port" entries: a WHOIS
                    server named "host" is reached at "address" and
                    "port" instead (host names compare without regard to
                    case; ":port" may be left out). Used by tests and by the
                    demonstration mode; a malformed value is reported and
                    ignored as a whole. RDAP hosts are mapped the same
                    way; a host mapped to a loopback address is asked over
                    plain HTTP (only loopback is ever asked without TLS).
  TORVANE_RDAP_BOOTSTRAP  a folder with IANA's four RDAP bootstrap files
                    (dns.json, ipv4.json, ipv6.json, asn.json) to use
                    instead of the shipped snapshot and its fetched
                    updates. For tests and diagnostics.
  https_proxy, HTTPS_PROXY  proxy for RDAP: http://host:port (a CONNECT
                    tunnel), socks5:// or socks5h:// (the proxy resolves
                    names); "user:password@" allowed, no scheme means http
  all_proxy, ALL_PROXY  proxy for RDAP when https_proxy is unset, and for
                    port 43 when it is socks5:// or socks5h://
  TORVANE_WHOIS_PROXY  proxy for port 43 before all_proxy: socks5://,
                    socks5h:// or http:// (CONNECT to port 43); set but
                    empty, port 43 goes direct
  no_proxy, NO_PROXY  hosts reached directly: names (covering their
                    subdomains), addresses, CIDR ranges such as 10.0.0.0/8,
                    each with an optional ":port", or "*"
  http_proxy        (lowercase only) plain-HTTP requests, which go only to
                    loopback; HTTP_PROXY is never used
                    Without these, RDAP takes the desktop's proxy settings.
                    Loopback and the hosts of TORVANE_HOST_MAP are never
                    proxied. https:// proxies are not supported; a value
                    that cannot be used is reported and ignored. A proxy
                    that fails is named in the status ("プロキシ host:port
                    に接続できません" and the like), and a WHOIS server
                    that port 43 cannot reach through it is then asked
                    by RDAP as when it refuses.

Files:
  rdap/    IANA's RDAP bootstrap files shipped beside the program (or in
           share/torvane/rdap); the window keeps newer copies, fetched at
           most once a week, in ~/.local/share/torvane/rdap, and torvane-cli
           reads the newer of the two.
  log.txt  the query history (with --history only): beside the program
           when that folder can be written, otherwise in the user's data
           folder (~/.local/share/torvane/log.txt); UTF-8 (a CP932 file of
           an earlier version is read too), CR LF, most recent first. The window uses the same file.

Examples:
  torvane-cli example.co.jp
  torvane-cli --timeout 30 https://www.example.jp/index.html
  torvane-cli --no-autocorrect --server whois.nic.ad.jp 192.0.2.1
  torvane-cli --encoding cp932 example.jp > report.txt
  torvane-cli --rdap-json example.com | jq .
  torvane-cli 2001:db8::1
  torvane-cli AS2497
)";
}

std::string VersionText() { return std::string("Torvane version ") + TORVANE_VERSION + "\n"; }

}  // namespace torvane::cli
