#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "models/estimated_calls.hpp"
#include "models/framed_vehicle_journey_ref.hpp"
#include "models/recorded_calls.hpp"
#include "models/train_numbers.hpp"
#include "siri_et/journey_identifier.hpp"
#include "siri_et/journey_pattern_info.hpp"

namespace quorvane {

// One journey of an estimated timetable. Producers spell two elements
// "Vehicule"; the names keep that spelling. `Cancellation`, `VehicleMode`,
// `DisruptionGroup` and `HeadwayService` are kept as written, as text.
struct EstimatedVehicleJourney {
    Text line_ref;
    OptText published_line_name;
    OptText direction_ref;
    std::optional<JourneyIdentifier> journey_identifier;
    OptText dated_vehicule_journey_ref;
    OptText cancellation;
    std::optional<bool> extra_journey;
    OptText journey_pattern_name;
    std::optional<JourneyPatternInfo> journey_pattern_info;
    OptText vehicle_mode;
    OptText origin_ref;
    OptText origin_name;
    OptText destination_ref;
    OptText destination_name;
    OptText operator_ref;
    OptText product_category_ref;
    OptRecord<TrainNumbers> train_numbers;
    OptText vehicule_journey_name;
    OptText origin_aimed_departure_time;
    OptText destination_aimed_arrival_time;
    OptRecord<RecordedCalls> recorded_calls;
    OptRecord<EstimatedCalls> estimated_calls;
    OptRecord<FramedVehicleJourneyRef> framed_vehicle_journey_ref;
    OptText data_source;
    OptText vehicle_ref;
    OptText aimed_departure_time;
    OptText aimed_arrival_time;
    OptText journey_note;
    OptText headway_service;
    OptText first_or_last_journey;
    OptText disruption_group;
    OptText journey_progress_info;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<EstimatedVehicleJourney> = record<EstimatedVehicleJourney, "EstimatedVehicleJourney">(
    field("line_ref", &EstimatedVehicleJourney::line_ref, "LineRef"),
    field("published_line_name", &EstimatedVehicleJourney::published_line_name, "PublishedLineName"),
    field("direction_ref", &EstimatedVehicleJourney::direction_ref, "DirectionRef"),
    field("journey_identifier", &EstimatedVehicleJourney::journey_identifier, "JourneyIdentifier"),
    field("dated_vehicule_journey_ref", &EstimatedVehicleJourney::dated_vehicule_journey_ref,
          "DatedVehiculeJourneyRef"),
    field("cancellation", &EstimatedVehicleJourney::cancellation, "Cancellation"),
    field("extra_journey", &EstimatedVehicleJourney::extra_journey, "ExtraJourney"),
    field("journey_pattern_name", &EstimatedVehicleJourney::journey_pattern_name, "JourneyPatternName"),
    field("journey_pattern_info", &EstimatedVehicleJourney::journey_pattern_info, "JourneyPatternInfo"),
    field("vehicle_mode", &EstimatedVehicleJourney::vehicle_mode, "VehicleMode"),
    field("origin_ref", &EstimatedVehicleJourney::origin_ref, "OriginRef"),
    field("origin_name", &EstimatedVehicleJourney::origin_name, "OriginName"),
    field("destination_ref", &EstimatedVehicleJourney::destination_ref, "DestinationRef"),
    field("destination_name", &EstimatedVehicleJourney::destination_name, "DestinationName"),
    field("operator_ref", &EstimatedVehicleJourney::operator_ref, "OperatorRef"),
    field("product_category_ref", &EstimatedVehicleJourney::product_category_ref, "ProductCategoryRef"),
    field("train_numbers", &EstimatedVehicleJourney::train_numbers, "TrainNumbers"),
    field("vehicule_journey_name", &EstimatedVehicleJourney::vehicule_journey_name, "VehiculeJourneyName"),
    field("origin_aimed_departure_time", &EstimatedVehicleJourney::origin_aimed_departure_time,
          "OriginAimedDepartureTime"),
    field("destination_aimed_arrival_time", &EstimatedVehicleJourney::destination_aimed_arrival_time,
          "DestinationAimedArrivalTime"),
    field("recorded_calls", &EstimatedVehicleJourney::recorded_calls, "RecordedCalls"),
    field("estimated_calls", &EstimatedVehicleJourney::estimated_calls, "EstimatedCalls"),
    field("framed_vehicle_journey_ref", &EstimatedVehicleJourney::framed_vehicle_journey_ref,
          "FramedVehicleJourneyRef"),
    field("data_source", &EstimatedVehicleJourney::data_source, "DataSource"),
    field("vehicle_ref", &EstimatedVehicleJourney::vehicle_ref, "VehicleRef"),
    field("aimed_departure_time", &EstimatedVehicleJourney::aimed_departure_time, "AimedDepartureTime"),
    field("aimed_arrival_time", &EstimatedVehicleJourney::aimed_arrival_time, "AimedArrivalTime"),
    field("journey_note", &EstimatedVehicleJourney::journey_note, "JourneyNote"),
    field("headway_service", &EstimatedVehicleJourney::headway_service, "HeadwayService"),
    field("first_or_last_journey", &EstimatedVehicleJourney::first_or_last_journey, "FirstOrLastJourney"),
    field("disruption_group", &EstimatedVehicleJourney::disruption_group, "DisruptionGroup"),
    field("journey_progress_info", &EstimatedVehicleJourney::journey_progress_info, "JourneyProgressInfo"));

}  // namespace quorvane::binding
