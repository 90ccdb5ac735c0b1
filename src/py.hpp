// The Python surface's shared pieces: owned references, the call frame that
// every entry from the interpreter runs in, argument extraction, and the
// objects that own one record.
#pragma once

#include <Python.h>

#include <new>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "binding/render.hpp"
#include "binding/store.hpp"

namespace quorvane::py {

// An owned reference, released when it goes out of scope.
class Ref {
public:
    Ref() = default;
    explicit Ref(PyObject* o) noexcept : o_(o) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& r) noexcept : o_(std::exchange(r.o_, nullptr)) {}
    Ref& operator=(Ref&& r) noexcept {
        Py_XDECREF(std::exchange(o_, std::exchange(r.o_, nullptr)));
        return *this;
    }
    ~Ref() { Py_XDECREF(o_); }

    PyObject* get() const noexcept { return o_; }
    PyObject* release() noexcept { return std::exchange(o_, nullptr); }
    explicit operator bool() const noexcept { return o_ != nullptr; }

private:
    PyObject* o_ = nullptr;
};

// Thrown inside a call when a Python exception has been set already.
struct ErrorSet {};

// Returns `o`, or throws ErrorSet when it is null (the interpreter's error
// stands).
inline PyObject* check(PyObject* o) {
    if (!o) throw ErrorSet{};
    return o;
}

[[noreturn]] void raise(PyObject* type, std::string_view text);

// Raises the fault exception for an internal fault, writing a report to
// standard error.
void raise_fault(std::string_view message, const char* where);

// Runs one entry from the interpreter: its result, or null with the
// exception set. Allocation failures become MemoryError (the process goes
// on); any other escaping exception becomes the fault exception. Nothing
// throws across the boundary.
template <class F>
PyObject* guarded(const char* where, F&& f) noexcept {
    PyObject* result = nullptr;
    try {
        result = f();
    } catch (const ErrorSet&) {
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& e) {
        raise_fault(e.what(), where);
    } catch (...) {
        raise_fault("unknown internal fault", where);
    }
    // A failed interpreter call that set no error must still fail visibly.
    if (!result && !PyErr_Occurred())
        PyErr_SetString(PyExc_SystemError, "attempted to fetch exception but none was set");
    return result;
}

// --------------------------------------------------------- arguments

struct FunctionDescription {
    const char* cls;
    const char* func;
    std::span<const char* const> params;  // positional-or-keyword, all required
};

// Fills `out` (one slot per parameter) from the call's arguments, raising
// TypeError with the exact texts on a mismatch.
void extract_arguments(const FunctionDescription& d, PyObject* args, PyObject* kwargs, PyObject** out);

// The `__qualname__` of an object's type, for conversion messages.
std::string type_name_of(PyObject* o);

// "argument '<param>': <message>" as TypeError.
[[noreturn]] void argument_error(const char* param, const std::string& message);

PyObject* new_text(std::string_view s);

// str() of a record: rendered through a small block, each block's text
// appended to the str being built, so that only the str itself is new
// memory the size of the rendering.
template <class V>
PyObject* new_rendering(const V& v) {
    Ref result;
    const auto drain = [](void* context, std::string_view text) {
        Ref& into = *static_cast<Ref*>(context);
        Ref piece(new_text(text));
        if (!into) {
            into = std::move(piece);
            return;
        }
        PyObject* joined = into.release();
        PyUnicode_Append(&joined, piece.get());
        into = Ref(check(joined));
    };
    constexpr std::size_t kBlock = std::size_t(64) << 10;
    binding::TextWriter out(kBlock, drain, &result);
    binding::render(out, v);
    out.finish();
    return result.release();
}

// ------------------------------------------------------------ classes

enum class ClassId : int {
    SIRI,
    Envelope,
    Body,
    NotifyProductionTimetable,
    NotifyStopMonitoring,
    NotifySituationExchange,
    NotifyGeneralMessage,
    NotifyFacilityMonitoring,
    NotifyVechicleMonitoring,
    NotifyConnectionMonitoring,
    NotifyEstimatedTimetable,
    InternalBody,  // the class of the `Body` record itself, never published
    Count,
};

inline constexpr int kPublishedClasses = static_cast<int>(ClassId::InternalBody);

// The class object, created on first use (a borrowed reference).
PyTypeObject* class_object(ClassId id);
const char* class_name(ClassId id);

// Objects of every class that holds a record: the record lives on the heap
// and is released with the object.
struct RecordObject {
    PyObject_HEAD
    void* record;
};

// A new object of class `id` owning `record` (moved in).
template <class R>
PyObject* wrap(ClassId id, Parsed<R>&& record) {
    using T = Parsed<R>;
    PyTypeObject* type = class_object(id);
    auto* alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
    auto* self = reinterpret_cast<RecordObject*>(check(alloc(type, 0)));
    self->record = nullptr;
    Ref guard(reinterpret_cast<PyObject*>(self));
    self->record = new T(std::move(record));
    return guard.release();
}

// The record `self` holds, with the store its texts and lists live in. The
// classes are mutable, so Python code can replace `__new__` and make an
// object of class `id` with none behind it: every entry that reads a record
// comes through here and refuses those.
template <class T>
const Parsed<T>& parsed_of(PyObject* self, ClassId id) {
    const void* record = reinterpret_cast<RecordObject*>(self)->record;
    if (!record) raise(PyExc_TypeError, std::string(class_name(id)) + " object holds no record");
    return *static_cast<const Parsed<T>*>(record);
}

template <class T>
const T& record_of(PyObject* self, ClassId id) {
    return parsed_of<T>(self, id).value;
}

// A copy of part of an object's record, sharing its store.
template <class T, class R>
Parsed<R> share(PyObject* self, ClassId id, R part) {
    return Parsed<R>{std::move(part), parsed_of<T>(self, id).store};
}

template <class T>
void dealloc_record(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    delete static_cast<Parsed<T>*>(reinterpret_cast<RecordObject*>(self)->record);
    auto* free_fn = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
    free_fn(self);
    Py_DECREF(type);
}

// Classes without a constructor.
PyObject* no_constructor(PyTypeObject*, PyObject*, PyObject*);

// The PyType_Spec of each class, one per family of classes.
PyType_Spec* siri_spec();
PyType_Spec* envelope_spec();
PyType_Spec* body_spec();
PyType_Spec* internal_body_spec();
PyType_Spec* service_spec(ClassId id);

}  // namespace quorvane::py
