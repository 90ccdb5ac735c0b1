#pragma once

#include <variant>

#include "binding/declare.hpp"
#include "services/connection_monitoring.hpp"
#include "services/estimated_table.hpp"
#include "services/facility_monitoring.hpp"
#include "services/general_message.hpp"
#include "services/production_timetable.hpp"
#include "services/situation_exchange.hpp"
#include "services/stop_monitoring.hpp"
#include "services/vehicle_monitoring.hpp"

namespace quorvane {

// The service a document carries. The order of the alternatives is fixed:
// it is also the order of the notify methods of `Body`.
using SiriServiceType = std::variant<NotifyProductionTimetable, NotifyEstimatedTimetable, NotifyStopMonitoring,
                                     NotifyVechicleMonitoring, NotifyConnectionMonitoring, NotifyGeneralMessage,
                                     NotifyFacilityMonitoring, NotifySituationExchange>;

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<SiriServiceType> = VariantDecl<SiriServiceType, 8, 9>{
    ChoiceMode::ChildElements,
    {"ProductionTimetable", "EstimatedTimetable", "StopMonitoring", "VehicleMonitoring", "ConnectionMonitoring",
     "GeneralMessage", "FacilityMonitoring", "SituationExchange"},
    {{
        {"NotifyProductionTimetable", 0},
        {"NotifyEstimatedTimetable", 1},
        {"NotifyStopMonitoring", 2},
        {"GetVehicleMonitoringResponse", 3},
        {"NotifyConnectionMonitoring", 4},
        {"NotifyGeneralMessage", 5},
        {"GeneralMessage", 5},
        {"NotifyFacilityMonitoring", 6},
        {"NotifySituationExchange", 7},
    }},
    "Missing service type",
};

}  // namespace quorvane::binding
