#include "report/mixture_reports.h"

#include <cstddef>
#include <thread>


namespace zolvant::report {

KijByBlock withOverrides(KijByBlock kij, const std::vector<KijOverride>& overrides) {
    for (KijMatrix& k : kij)
        for (const KijOverride& o : overrides) {
            if (o.i < 0 || o.j < 0 || o.i >= kMaxComponents || o.j >= kMaxComponents) continue;
            k[static_cast<std::size_t>(o.i)][static_cast<std::size_t>(o.j)] = o.value;
            k[static_cast<std::size_t>(o.j)][static_cast<std::size_t>(o.i)] = o.value;
        }
    return kij;
}

namespace {

// ASCII letters only: the names are the grid's, plain ASCII.
bool equalCaseAside(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

std::optional<int> equationBlock(std::string_view name) {
    for (int b = 0; b < kBlocks; ++b)
        if (equalCaseAside(name, blockName(b))) return b;
    return std::nullopt;
}

std::string equationNames() {
    std::string s;
    for (int b = 0; b < kBlocks; ++b) {
        if (b > 0) s += ", ";
        s += blockName(b);
    }
    return s;
}

std::vector<MixtureReport> mixtureReports(const MixtureState& s, const CompVector& z, const KijByBlock& kij,
                                          const MolarMasses& molWt, const std::vector<int>& blocks,
                                          const ReportOptions& options) {
    std::vector<int> wanted = blocks;
    if (wanted.empty())
        for (int b = 0; b < kBlocks; ++b) wanted.push_back(b);
    std::vector<MixtureReport> out(wanted.size());
    const auto run = [&](std::size_t k) {
        const int b = wanted[k];
        const KijMatrix none{};
        out[k] = mixtureReport(b, s, z, b >= 0 && b < kBlocks ? kij[static_cast<std::size_t>(b)] : none, molWt,
                               options);
    };
    // Each equation's envelope is independent: one thread per equation.
    std::vector<std::thread> workers;
    for (std::size_t k = 1; k < wanted.size(); ++k) workers.emplace_back(run, k);
    if (!wanted.empty()) run(0);
    for (std::thread& t : workers) t.join();
    return out;
}

}  // namespace zolvant::report
