// Module initialisation and the class registry.
#include <atomic>

#include "py.hpp"

namespace quorvane::py {
namespace {

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT, "quorvane", "", 0, nullptr, nullptr, nullptr, nullptr, nullptr,
};

std::atomic<bool> initialised{false};

PyTypeObject* classes[static_cast<int>(ClassId::Count)] = {};

constexpr const char* kNames[] = {
    "SIRI",
    "Envelope",
    "Body",
    "NotifyProductionTimetable",
    "NotifyStopMonitoring",
    "NotifySituationExchange",
    "NotifyGeneralMessage",
    "NotifyFacilityMonitoring",
    "NotifyVechicleMonitoring",
    "NotifyConnectionMonitoring",
    "NotifyEstimatedTimetable",
    "Body",
};

PyType_Spec* spec_of(ClassId id) {
    switch (id) {
        case ClassId::SIRI: return siri_spec();
        case ClassId::Envelope: return envelope_spec();
        case ClassId::Body: return body_spec();
        case ClassId::InternalBody: return internal_body_spec();
        default: return service_spec(id);
    }
}

PyObject* init() {
    Ref module(check(PyModule_Create2(&module_def, 3)));
    // Set before the classes are added: a failed initialisation is not
    // retried in the same process either.
    if (initialised.exchange(true)) {
        raise(PyExc_ImportError, "PyO3 modules may only be initialized once per interpreter process");
    }
    Ref all;
    for (int i = 0; i < kPublishedClasses; ++i) {
        const auto id = static_cast<ClassId>(i);
        PyObject* cls = reinterpret_cast<PyObject*>(class_object(id));
        if (!all) {
            all = Ref(check(PyList_New(0)));
            if (PyObject_SetAttrString(module.get(), "__all__", all.get()) < 0) throw ErrorSet{};
        }
        Ref name(check(PyUnicode_FromString(class_name(id))));
        if (PyList_Append(all.get(), name.get()) < 0) throw ErrorSet{};
        if (PyObject_SetAttr(module.get(), name.get(), cls) < 0) throw ErrorSet{};
    }
    return module.release();
}

}  // namespace

const char* class_name(ClassId id) { return kNames[static_cast<int>(id)]; }

PyTypeObject* class_object(ClassId id) {
    PyTypeObject*& slot = classes[static_cast<int>(id)];
    if (!slot) slot = reinterpret_cast<PyTypeObject*>(check(PyType_FromSpec(spec_of(id))));
    return slot;
}

}  // namespace quorvane::py

PyMODINIT_FUNC PyInit_quorvane() {
    return quorvane::py::guarded("module initialisation", [] { return quorvane::py::init(); });
}
