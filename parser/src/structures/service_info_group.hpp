#pragma once

#include "binding/declare.hpp"
#include "enums/vehicle_feature.hpp"

namespace quorvane {

// Operator, product and features of a dated journey; embedded in the
// journey's element, so it is read from the journey's leftover buffer.
struct ServiceInfoGroup {
    OptText operator_ref;
    OptText product_category_ref;
    List<Text> service_feature_ref;
    List<VehicleFeature> vehicle_feature_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ServiceInfoGroup> = record<ServiceInfoGroup, "ServiceInfoGroup">(
    field("operator_ref", &ServiceInfoGroup::operator_ref, "OperatorRef"),
    field("product_category_ref", &ServiceInfoGroup::product_category_ref, "ProductCategoryRef"),
    field("service_feature_ref", &ServiceInfoGroup::service_feature_ref, "ServiceFeatureRef"),
    field("vehicle_feature_ref", &ServiceInfoGroup::vehicle_feature_ref, "VehicleFeatureRef"));

}  // namespace quorvane::binding
