#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// The header of every service element: producer, time stamp and message
// references of the whole notification.
struct ServiceDeliveryInfo {
    OptText response_timestamp;
    Text producer_ref;
    OptText request_message_identifier;
    OptText response_message_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ServiceDeliveryInfo> = record<ServiceDeliveryInfo, "ServiceDeliveryInfo">(
    field("response_timestamp", &ServiceDeliveryInfo::response_timestamp, "ResponseTimestamp"),
    field("producer_ref", &ServiceDeliveryInfo::producer_ref, "ProducerRef"),
    field("request_message_identifier", &ServiceDeliveryInfo::request_message_identifier, "RequestMessageIdentifier"),
    field("response_message_ref", &ServiceDeliveryInfo::response_message_ref, "ResponseMessageRef"));

// The key rule most notify records share: the header under
// `ServiceDeliveryInfo`, the notification under `Notification`.
template <class T, StructName S>
constexpr auto notify_record() {
    return record<T, S>(field("service_delivery_info", &T::service_delivery_info, "ServiceDeliveryInfo"),
                        field("notification", &T::notification, "Notification"));
}

}  // namespace quorvane::binding
