// The class Body: the document's service, and one method per service that
// hands out a copy of its record.
#include "binding/render.hpp"
#include "py.hpp"
#include "siri.hpp"

namespace quorvane::py {
namespace {

constexpr const char* kBodyParams[] = {"service_type"};

// The published class of each alternative's record, and its method.
struct ServiceMethod {
    ClassId cls;
    const char* name;
    const char* doc;
};

constexpr ServiceMethod kMethods[] = {
    {ClassId::NotifyProductionTimetable, "notify_production_timetable",
     "notify_production_timetable($self)\n--\n\nMethod to get NotifyProductionTimetable from Body in Python\n\n"
     "# Returns\n* `PyResult<Option<NotifyProductionTimetable>>`\n"},
    {ClassId::NotifyEstimatedTimetable, "notify_estimated_timetable",
     "notify_estimated_timetable($self)\n--\n\nMethod to get NotifyEstimatedTimetable from Body in Python\n\n"
     "# Returns\n* `PyResult<Option<NotifyEstimatedTimetable>>`"},
    {ClassId::NotifyStopMonitoring, "notify_stop_monitoring",
     "notify_stop_monitoring($self)\n--\n\nMethod to get NotifyStopMonitoring from Body in Python\n\n"
     "# Returns\n* `PyResult<Option<NotifyStopMonitoring>>`"},
    {ClassId::NotifyVechicleMonitoring, "notify_vehicle_monitoring",
     "notify_vehicle_monitoring($self)\n--\n\nMethod to get NotifyVechicleMonitoring from Body in Python\n\n"
     "# Returns\n* `PyResult<Option<NotifyVechicleMonitoring>>`"},
    {ClassId::NotifyConnectionMonitoring, "notify_connection_monitoring",
     "notify_connection_monitoring($self)\n--\n\nMethod to get NotifyConnectionMonitoring from Body in Python\n\n"
     "# Returns\n* `PyResult<Option<NotifyConnectionMonitoring>>`"},
    {ClassId::NotifyGeneralMessage, "notify_general_message",
     "notify_general_message($self)\n--\n\nMethod to get NotifyGeneralMessage from Body in Python\n\n"
     "# Returns\n* `PyResult<Option<NotifyGeneralMessage>>`"},
    {ClassId::NotifyFacilityMonitoring, "notify_facility_monitoring",
     "notify_facility_monitoring($self)\n--\n\nMethod to get NotifyFacilityMonitoring from Body in Python\n\n"
     "# Returns\n* `PyResult<Option<NotifyFacilityMonitoring>>`"},
};

// Situation exchange, the last alternative, has no method.
static_assert(std::size(kMethods) + 1 == std::variant_size_v<SiriServiceType>);

// A new object holding a copy of the service when the body carries
// alternative `Alt`, else None.
template <std::size_t Alt>
PyObject* notify(PyObject* self, PyObject*) {
    return guarded(kMethods[Alt].name, [&]() -> PyObject* {
        const SiriServiceType& service = record_of<Body>(self, ClassId::Body).service;
        if (service.index() != Alt) Py_RETURN_NONE;
        return wrap(kMethods[Alt].cls, share<Body>(self, ClassId::Body, std::get<Alt>(service)));
    });
}

PyObject* body_new(PyTypeObject*, PyObject* args, PyObject* kwargs) {
    return guarded("Body.__new__", [&]() -> PyObject* {
        PyObject* arg;
        extract_arguments({"Body", "__new__", kBodyParams}, args, kwargs, &arg);
        // Only an object of the internal body class converts, and none is
        // ever made: every call from Python ends here.
        PyTypeObject* internal = class_object(ClassId::InternalBody);
        if (!PyObject_TypeCheck(arg, internal))
            argument_error("service_type", "'" + type_name_of(arg) + "' object cannot be converted to 'Body'");
        return wrap(ClassId::Body, share<Body>(arg, ClassId::InternalBody, record_of<Body>(arg, ClassId::InternalBody)));
    });
}

PyObject* body_str(PyObject* self) {
    return guarded("Body.__str__", [&] { return new_rendering(record_of<Body>(self, ClassId::Body)); });
}

template <std::size_t... I>
constexpr auto make_methods(std::index_sequence<I...>) {
    return std::array<PyMethodDef, sizeof...(I) + 1>{{
        {kMethods[I].name, notify<I>, METH_NOARGS, kMethods[I].doc}...,
        {nullptr, nullptr, 0, nullptr},
    }};
}

auto body_methods = make_methods(std::make_index_sequence<std::size(kMethods)>{});

PyType_Slot body_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(body_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_record<Body>)},
    {Py_tp_str, reinterpret_cast<void*>(body_str)},
    {Py_tp_methods, body_methods.data()},
    {0, nullptr},
};

PyType_Spec body_type = {"builtins.Body", static_cast<int>(sizeof(RecordObject)), 0, Py_TPFLAGS_DEFAULT, body_slots};

PyType_Slot internal_body_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_record<Body>)},
    {0, nullptr},
};

PyType_Spec internal_body_type = {"builtins.Body", static_cast<int>(sizeof(RecordObject)), 0, Py_TPFLAGS_DEFAULT,
                                  internal_body_slots};

}  // namespace

PyType_Spec* body_spec() { return &body_type; }
PyType_Spec* internal_body_spec() { return &internal_body_type; }

// ----------------------------------------------------- service classes

namespace {

template <class R>
PyType_Slot service_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_record<R>)},
    {0, nullptr},
};

template <std::size_t Alt>
PyType_Spec make_service_spec() {
    using R = std::variant_alternative_t<Alt, SiriServiceType>;
    return {nullptr, static_cast<int>(sizeof(RecordObject)), 0, Py_TPFLAGS_DEFAULT, service_slots<R>};
}

// The service classes by alternative; situation exchange's class holds its
// record type although nothing creates one.
template <std::size_t... I>
auto make_service_specs(std::index_sequence<I...>) {
    return std::array<PyType_Spec, sizeof...(I)>{make_service_spec<I>()...};
}

auto service_specs = make_service_specs(std::make_index_sequence<std::variant_size_v<SiriServiceType>>{});

constexpr const char* kServiceFullNames[] = {
    "builtins.NotifyProductionTimetable", "builtins.NotifyEstimatedTimetable", "builtins.NotifyStopMonitoring",
    "builtins.NotifyVechicleMonitoring",  "builtins.NotifyConnectionMonitoring", "builtins.NotifyGeneralMessage",
    "builtins.NotifyFacilityMonitoring",  "builtins.NotifySituationExchange",
};

constexpr ClassId kServiceClasses[] = {
    ClassId::NotifyProductionTimetable, ClassId::NotifyEstimatedTimetable, ClassId::NotifyStopMonitoring,
    ClassId::NotifyVechicleMonitoring,  ClassId::NotifyConnectionMonitoring, ClassId::NotifyGeneralMessage,
    ClassId::NotifyFacilityMonitoring,  ClassId::NotifySituationExchange,
};

}  // namespace

PyType_Spec* service_spec(ClassId id) {
    for (std::size_t i = 0; i < std::size(kServiceClasses); ++i) {
        if (kServiceClasses[i] == id) {
            service_specs[i].name = kServiceFullNames[i];
            return &service_specs[i];
        }
    }
    return nullptr;
}

}  // namespace quorvane::py
