// The class SIRI: the document entry.
#include "binding/render.hpp"
#include "py.hpp"
#include "siri.hpp"
#include "utf8_input.hpp"

namespace quorvane::py {
namespace {

constexpr const char* kNoParams[] = {nullptr};
constexpr const char* kParseParams[] = {"s"};

PyObject* siri_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    return guarded("SIRI.__new__", [&] {
        extract_arguments({"SIRI", "__new__", std::span<const char* const>(kNoParams, 0)}, args, kwargs, nullptr);
        auto* alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
        return check(alloc(type, 0));
    });
}

PyObject* siri_parse(PyObject*, PyObject* args, PyObject* kwargs) {
    return guarded("SIRI.parse", [&] {
        PyObject* s;
        extract_arguments({"SIRI", "parse", kParseParams}, args, kwargs, &s);
        if (!PyUnicode_Check(s))
            argument_error("s", "'" + type_name_of(s) + "' object cannot be converted to 'PyString'");
        // Read in place from its UTF-8 bytes, which live for the call.
        const Utf8Input text(s);
        Parsed<Envelope> envelope;
        try {
            envelope = from_str(text.view());
        } catch (const ParseError& e) {
            raise(PyExc_ValueError, e.text());
        }
        return wrap(ClassId::Envelope, std::move(envelope));
    });
}

void siri_dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free))(self);
    Py_DECREF(type);
}

PyMethodDef siri_methods[] = {
    {"parse", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(siri_parse)), METH_VARARGS | METH_KEYWORDS,
     "parse($self, s)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot siri_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(siri_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(siri_dealloc)},
    {Py_tp_methods, siri_methods},
    {0, nullptr},
};

PyType_Spec siri_type = {"builtins.SIRI", static_cast<int>(sizeof(PyObject)), 0, Py_TPFLAGS_DEFAULT, siri_slots};

}  // namespace

PyType_Spec* siri_spec() { return &siri_type; }

}  // namespace quorvane::py
