#pragma once
// The blocking resolver behind the DNS information of a run.

#include <string>

namespace torvane::run {

class IResolver {
  public:
    virtual ~IResolver() = default;
    // The dotted form of the last IPv4 address listed for `name`, or empty
    // when the name does not resolve.
    virtual std::string LookupHostAddress(const std::string& name) = 0;
    // The host name of dotted IPv4 `address` (or of an IPv6 address in its
    // text form), or "Unknown" when there is none or any step fails.
    virtual std::string LookupHostName(const std::string& address) = 0;
};

// getaddrinfo (IPv4) and getnameinfo (a name required).
class TSystemResolver : public IResolver {
  public:
    std::string LookupHostAddress(const std::string& name) override;
    std::string LookupHostName(const std::string& address) override;
};

}  // namespace torvane::run
