// The call frame, errors and argument extraction.
#include <cstdio>
#include <vector>

#include "py.hpp"

namespace quorvane::py {
namespace {

PyObject* fault_class() {
    static PyObject* cls = nullptr;
    if (!cls) {
        cls = PyErr_NewExceptionWithDoc(
            "pyo3_runtime.PanicException",
            "Raised when the extension's own code meets an internal fault.\n\n"
            "It derives from BaseException, not Exception, so that it usually propagates to the top "
            "and ends the interpreter instead of being caught by ordinary error handling.",
            PyExc_BaseException, nullptr);
    }
    return cls;
}

}  // namespace

PyObject* new_text(std::string_view s) {
    return check(PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "replace"));
}

void raise(PyObject* type, std::string_view text) {
    Ref msg(PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
    if (msg) PyErr_SetObject(type, msg.get());
    throw ErrorSet{};
}

void raise_fault(std::string_view message, const char* where) {
    std::fprintf(stderr, "quorvane: internal fault at %s: %.*s\n", where, static_cast<int>(message.size()),
                 message.data());
    PyObject* cls = fault_class();
    if (!cls) return;  // its creation failed: that error stands
    Ref msg(PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()), "replace"));
    if (msg) PyErr_SetObject(cls, msg.get());
}

PyObject* no_constructor(PyTypeObject*, PyObject*, PyObject*) {
    PyErr_SetString(PyExc_TypeError, "No constructor defined");
    return nullptr;
}

std::string type_name_of(PyObject* o) {
    // Interned once: a fresh key string per call would take a new slot of
    // the interpreter's type-lookup cache each time its address changes.
    static PyObject* qualname = nullptr;
    if (!qualname) qualname = PyUnicode_InternFromString("__qualname__");
    Ref name(qualname ? PyObject_GetAttr(reinterpret_cast<PyObject*>(Py_TYPE(o)), qualname) : nullptr);
    if (name && PyUnicode_Check(name.get())) {
        Ref bytes(PyUnicode_AsUTF8String(name.get()));
        char* data;
        Py_ssize_t size;
        if (bytes && PyBytes_AsStringAndSize(bytes.get(), &data, &size) == 0) return std::string(data, size);
    }
    PyErr_Clear();
    return "<failed to extract type name>";
}

void argument_error(const char* param, const std::string& message) {
    raise(PyExc_TypeError, "argument '" + std::string(param) + "': " + message);
}

void extract_arguments(const FunctionDescription& d, PyObject* args, PyObject* kwargs, PyObject** out) {
    const std::string full = std::string(d.cls) + "." + d.func + "()";
    const std::size_t n = d.params.size();
    for (std::size_t i = 0; i < n; ++i) out[i] = nullptr;

    const Py_ssize_t given = args ? PyTuple_Size(args) : 0;
    if (static_cast<std::size_t>(given) > n) {
        raise(PyExc_TypeError, full + " takes " + std::to_string(n) + " positional arguments but " +
                                   std::to_string(given) + (given == 1 ? " was" : " were") + " given");
    }
    for (Py_ssize_t i = 0; i < given; ++i) out[i] = PyTuple_GetItem(args, i);

    if (kwargs) {
        Py_ssize_t pos = 0;
        PyObject* key;
        PyObject* value;
        while (PyDict_Next(kwargs, &pos, &key, &value)) {
            std::size_t match = n;
            for (std::size_t i = 0; i < n; ++i) {
                if (PyUnicode_Check(key) && PyUnicode_CompareWithASCIIString(key, d.params[i]) == 0) {
                    match = i;
                    break;
                }
            }
            if (match == n) {
                // Any name, a lone surrogate or a NUL included, ends up in
                // the message (lossily), never as a different error.
                Ref text(check(PyObject_Str(key)));
                Ref bytes(check(PyUnicode_AsEncodedString(text.get(), "utf-8", "surrogatepass")));
                char* data;
                Py_ssize_t size;
                if (PyBytes_AsStringAndSize(bytes.get(), &data, &size) < 0) throw ErrorSet{};
                raise(PyExc_TypeError, full + " got an unexpected keyword argument '" +
                                           std::string(data, static_cast<std::size_t>(size)) + "'");
            }
            if (out[match]) {
                raise(PyExc_TypeError, full + " got multiple values for argument '" + d.params[match] + "'");
            }
            out[match] = value;
        }
    }

    std::vector<const char*> missing;
    for (std::size_t i = 0; i < n; ++i)
        if (!out[i]) missing.push_back(d.params[i]);
    if (!missing.empty()) {
        const std::size_t count = missing.size();
        std::string names;
        for (std::size_t k = 0; k < count; ++k) {
            if (k > 0) names += count == 2 ? " and " : (k + 1 == count ? ", and " : ", ");
            names.append("'").append(missing[k]).append("'");
        }
        raise(PyExc_TypeError, full + " missing " + std::to_string(count) + " required positional argument" +
                                   (count == 1 ? "" : "s") + ": " + names);
    }
}

}  // namespace quorvane::py
