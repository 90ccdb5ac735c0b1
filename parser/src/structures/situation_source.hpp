#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/source_type.hpp"

namespace quorvane {

// Where a report came from; read from the situation's `Source` element.
struct SituationSource {
    OptText name;
    std::optional<SourceType> source_type;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<SituationSource> =
    record<SituationSource, "SituationSource">(field("name", &SituationSource::name, "Name"),
                                               field("source_type", &SituationSource::source_type, "SourceType"));

}  // namespace quorvane::binding
