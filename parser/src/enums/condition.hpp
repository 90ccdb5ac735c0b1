#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// The state of the service that a consequence describes.
enum class Condition : unsigned char {
    Unknown, Altered, Cancelled, Delayed, Diverted, NoService, Disrupted, AdditionalService, SpecialService, OnTime,
    NormalService, IntermittentService, ExtendedService, SplittingTrain, ReplacementTransport, ArrivesEarly,
    ShuttleService, ReplacementService, UndefinedServiceInformation
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Condition> = enumeration<Condition>({
    {"unknown", "Unknown"},
    {"altered", "Altered"},
    {"cancelled", "Cancelled"},
    {"delayed", "Delayed"},
    {"diverted", "Diverted"},
    {"noService", "NoService"},
    {"disrupted", "Disrupted"},
    {"additionalService", "AdditionalService"},
    {"specialService", "SpecialService"},
    {"onTime", "OnTime"},
    {"normalService", "NormalService"},
    {"intermittentService", "IntermittentService"},
    {"extendedService", "ExtendedService"},
    {"splittingTrain", "SplittingTrain"},
    {"replacementTransport", "ReplacementTransport"},
    {"arrivesEarly", "ArrivesEarly"},
    {"shuttleService", "ShuttleService"},
    {"replacementService", "ReplacementService"},
    {"undefinedServiceInformation", "UndefinedServiceInformation"},
});

}  // namespace quorvane::binding
