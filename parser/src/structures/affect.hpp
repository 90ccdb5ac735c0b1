#pragma once

#include "binding/declare.hpp"
#include "structures/affected_operator.hpp"
#include "structures/affected_place.hpp"
#include "structures/affected_stop_point.hpp"
#include "structures/affected_vehicle_journey.hpp"
#include "structures/network.hpp"

namespace quorvane {

// What a situation touches. Each list element is itself one item.
struct Affect {
    OptText area_of_interest;
    List<AffectedOperatorType> operators;
    List<Network> networks;
    List<AffectedStopPoint> stop_points;
    List<AffectedPlace> stop_places;
    List<AffectedPlace> places;
    List<AffectedVehicleJourney> vehicle_journeys;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Affect> =
    record<Affect, "Affect">(field("area_of_interest", &Affect::area_of_interest, "AreaOfInterest"),
                             field("operators", &Affect::operators, "Operators"),
                             field("networks", &Affect::networks, "Networks"),
                             field("stop_points", &Affect::stop_points, "StopPoints"),
                             field("stop_places", &Affect::stop_places, "StopPlaces"),
                             field("places", &Affect::places, "Places"),
                             field("vehicle_journeys", &Affect::vehicle_journeys, "VehicleJourneys"));

}  // namespace quorvane::binding
