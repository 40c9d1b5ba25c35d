#include "cli/run_json.h"

#include <nlohmann/json.hpp>

#include "rdap/json_input.h"
#include "rdap/render.h"
#include "summary/summary_json.h"

namespace torvane::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string Joined(const query::TLines& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

Json BlockJson(const run::RecordedBlock& block, const query::TLines& report) {
    Json out;
    out["server"] = block.server;
    out["protocol"] = block.origin == summary::Origin::rdap ? "rdap" : "port43";
    out["query"] = block.query;
    out["status"] = block.status;
    const auto header = static_cast<std::size_t>(block.headerLine);
    out["header"] = header < report.size() ? std::string(report[header]) : std::string();
    out["text"] = Joined(run::AnswerOf(block, report));
    if (block.rdapJson) {
        try {
            out["rdap"] = rdap::ParseLimitedOrderedJson(*block.rdapJson, rdap::kMaxAnswerDepth);
        } catch (const rdap::JsonInputError&) {
            // The text above shows what arrived.
        }
    }
    return out;
}

}  // namespace

std::string RunJson(const RunJsonInput& run) {
    const run::TRunRecord& record = run.record;
    Json out;
    out["version"] = 1;
    out["input"] = record.typed;
    out["name"] = record.name;
    out["ascii"] = record.ascii;
    Json dns = Json::object();
    if (!record.dns.address.empty()) dns["address"] = record.dns.address;
    if (!record.dns.reverse.empty()) dns["reverse"] = record.dns.reverse;
    out["dns"] = std::move(dns);
    Json blocks = Json::array();
    for (const run::RecordedBlock* block : record.InReportOrder())
        blocks.push_back(BlockJson(*block, run.report));
    out["blocks"] = std::move(blocks);
    const summary::Summary facts = record.Summary();
    out["summary"] = run.summary && !facts.Empty() ? Json(summary::SummaryJson(facts, run.now))
                                                   : Json(nullptr);
    Json report = Json::array();
    for (const std::string_view line : run.report) report.push_back(line);
    out["report"] = std::move(report);
    out["status"] = run.status;
    out["exitCode"] = run.exitCode;
    // Invalid UTF-8 cannot come from the report (it is UTF-8 throughout);
    // replace rather than throw should a server's bytes ever slip through.
    return out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace torvane::cli
