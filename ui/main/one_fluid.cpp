#include "ui/main/one_fluid.h"

#include <vector>

#include "db/kij.h"
#include "report/mixture_insight.h"
#include "report/mixture_reports.h"

namespace zolvant::ui {

void OneFluid::clear() {
    have_ = false;
    flash_ = {};
    saturation_ = {};
}

void OneFluid::solved(const MixtureState& state, const FractionTexts& fractions, const std::array<std::string, 4>& names,
                      const db::Database* db) {
    clear();
    if (state.numComps < 2) return;  // the mixture row says nothing for one component
    state_ = state;
    z_ = feedFractions(state, fractions);
    kij_ = {};
    if (db) {
        try {
            std::vector<std::string> used;
            for (int k = 0; k < state.numComps && k < 4; ++k) used.push_back(names[static_cast<std::size_t>(k)]);
            kij_ = db::kijMatrices(*db, used);
        } catch (const std::exception&) {
            kij_ = {};  // unreadable pairs: the rule with kij = 0, and the tooltip says so
        }
    }
    // Only the flash now, on this thread (tens of microseconds each: starting
    // threads would cost more, and more still on a busy machine); the
    // saturation lists when a tooltip asks.
    ReportOptions flashOnly;
    flashOnly.saturation = false;
    for (int b = 0; b < kBlocks; ++b) {
        const auto k = static_cast<std::size_t>(b);
        flash_[k] = mixtureReport(b, state_, z_, kij_[k], MolarMasses{}, flashOnly);
    }
    have_ = true;
}

const MixtureReport* OneFluid::flash(int block) const {
    if (!have_ || block < 0 || block >= kBlocks) return nullptr;
    const auto& r = flash_[static_cast<std::size_t>(block)];
    return r ? &*r : nullptr;
}

const MixtureReport* OneFluid::saturation(int block) const {
    if (!flash(block)) return nullptr;
    auto& slot = saturation_[static_cast<std::size_t>(block)];
    if (!slot) slot = std::move(report::mixtureReports(state_, z_, kij_, MolarMasses{}, {block}).front());
    return &*slot;
}

bool OneFluid::kijFromDatabase(int block) const {
    const MixtureReport* r = flash(block);
    return r && report::anyKij(*r);
}

}  // namespace zolvant::ui
