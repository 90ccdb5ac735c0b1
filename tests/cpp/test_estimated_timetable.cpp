// Estimated-timetable records under the sanitizers: a deep tree survives a
// copy unchanged, and the journey identifier, which no document fills,
// renders by the general rules.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <variant>

#include "binding/render.hpp"
#include "siri.hpp"
#include "xml/error.hpp"

namespace {

using quorvane::DatedVehicleJourneyIndirectRef;
using quorvane::JourneyIdentifier;
using quorvane::NotifyEstimatedTimetable;
using quorvane::binding::to_text;

const char* const kDocument =
    "<Envelope><Body><NotifyEstimatedTimetable><ServiceDeliveryInfo><ProducerRef>P1</ProducerRef>"
    "</ServiceDeliveryInfo><Notification><EstimatedTimetableDelivery version=\"2.0\">"
    "<EstimatedJourneyVersionFrame><RecordedAtTime>T2</RecordedAtTime>"
    "<EstimatedVehicleJourney><LineRef>L1</LineRef><TrainNumbers><TrainNumberRef>7</TrainNumberRef></TrainNumbers>"
    "<RecordedCalls><RecordedCall><StopPointRef>S1</StopPointRef><Order>1</Order>"
    "<Arrival><ArrivalProximityText>a</ArrivalProximityText><ArrivalStopAssignment><AimedQuayRef>Q</AimedQuayRef>"
    "</ArrivalStopAssignment></Arrival><ExpectedDepartureOccupancy><GroupReservations><NameOfGroup>G</NameOfGroup>"
    "<NumberOfSeats>3</NumberOfSeats></GroupReservations></ExpectedDepartureOccupancy></RecordedCall></RecordedCalls>"
    "<EstimatedCalls><calls><ArrivalProximityText>x</ArrivalProximityText></calls><calls/></EstimatedCalls>"
    "</EstimatedVehicleJourney><EstimatedVehicleJourney><LineRef>L2</LineRef></EstimatedVehicleJourney>"
    "</EstimatedJourneyVersionFrame><ResponseTimestamp>T1</ResponseTimestamp></EstimatedTimetableDelivery>"
    "</Notification></NotifyEstimatedTimetable></Body></Envelope>";

TEST(EstimatedTimetable, CopyOutlivesItsSource) {
    // A copy that shares the document's texts keeps them alive.
    quorvane::Parsed<NotifyEstimatedTimetable> held;
    std::string before;
    {
        auto envelope = quorvane::from_str(kDocument);
        const auto& service = std::get<NotifyEstimatedTimetable>(envelope.value.body.service);
        before = to_text(service);
        held = {service, envelope.store};
    }
    const NotifyEstimatedTimetable& copy = held.value;
    EXPECT_EQ(to_text(copy), before);
    EXPECT_NE(before.find("group_reservations: [GroupReservation { name_of_group: \"G\", number_of_seats: 3 }]"),
              std::string::npos);
    EXPECT_EQ(copy.notification.estimated_timetable_delivery.estimated_journey_version_frame
                  .estimated_vehicle_journey.size(),
              2u);
}

TEST(EstimatedTimetable, JourneyIdentifierRendersEachAlternative) {
    const std::pair<JourneyIdentifier, std::string> cases[] = {
        {JourneyIdentifier(std::in_place_index<0>, "J"), "DatedVehicleJourneyRef(\"J\")"},
        {JourneyIdentifier(std::in_place_index<1>, "C"), "EstimatedVehicleJourneyCode(\"C\")"},
        {JourneyIdentifier(std::in_place_index<2>, DatedVehicleJourneyIndirectRef{"O", "D1", "E", "A1"}),
         "DatedVehicleJourneyIndirectRef(DatedVehicleJourneyIndirectRef { origin_ref: \"O\", "
         "aimed_departure_time: \"D1\", destination_ref: \"E\", aimed_arrival_time: \"A1\" })"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(to_text(value), expected);
}

}  // namespace
