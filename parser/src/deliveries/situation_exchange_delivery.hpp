#pragma once

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "structures/pt_situation_element.hpp"

namespace quorvane {

// Each `Situations` element is one situation; every other key of the
// delivery belongs to the frame.
struct SituationExchangeDelivery {
    XxxDelivery leader;
    List<PtSituationElement> situations;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<SituationExchangeDelivery> =
    record<SituationExchangeDelivery, "SituationExchangeDelivery">(
        group("leader", &SituationExchangeDelivery::leader),
        field("situations", &SituationExchangeDelivery::situations, "Situations"));

}  // namespace quorvane::binding
