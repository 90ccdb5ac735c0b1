#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/progress_status.hpp"
#include "enums/quality_index.hpp"
#include "enums/verification_status.hpp"

namespace quorvane {

// The state of a report, read from the situation's `Verification` element,
// which holds an inner `Verification` of its own.
struct PtSituationBodyGroup {
    std::optional<VerificationStatus> verification;
    std::optional<ProgressStatus> progress;
    std::optional<QualityIndex> quality_index;
    OptText publication;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PtSituationBodyGroup> = record<PtSituationBodyGroup, "PtSituationBodyGroup">(
    field("verification", &PtSituationBodyGroup::verification, "Verification"),
    field("progress", &PtSituationBodyGroup::progress, "Progress"),
    field("quality_index", &PtSituationBodyGroup::quality_index, "QualityIndex"),
    field("publication", &PtSituationBodyGroup::publication, "Publication"));

}  // namespace quorvane::binding
