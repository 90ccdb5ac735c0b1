// The class Envelope: the parsed document.
#include "binding/render.hpp"
#include "py.hpp"
#include "siri.hpp"

namespace quorvane::py {
namespace {

PyObject* envelope_body(PyObject* self, PyObject*) {
    return guarded("Envelope.body", [&] {
        return wrap(ClassId::Body, share<Envelope>(self, ClassId::Envelope,
                                                   Body{record_of<Envelope>(self, ClassId::Envelope).body}));
    });
}

PyObject* envelope_str(PyObject* self) {
    return guarded("Envelope.__str__",
                   [&] { return new_rendering(record_of<Envelope>(self, ClassId::Envelope)); });
}

PyMethodDef envelope_methods[] = {
    {"body", envelope_body, METH_NOARGS, "body($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot envelope_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_record<Envelope>)},
    {Py_tp_str, reinterpret_cast<void*>(envelope_str)},
    {Py_tp_methods, envelope_methods},
    {0, nullptr},
};

PyType_Spec envelope_type = {"builtins.Envelope", static_cast<int>(sizeof(RecordObject)), 0, Py_TPFLAGS_DEFAULT,
                             envelope_slots};

}  // namespace

PyType_Spec* envelope_spec() { return &envelope_type; }

}  // namespace quorvane::py
