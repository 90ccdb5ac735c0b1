#include "utf8_input.hpp"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane::py {
namespace {

// Whether `s` (a str) is all ASCII: str.isascii itself, which a subclass
// cannot replace, and which reads a flag of the str, not its text.
bool is_ascii(PyObject* s) {
    static PyObject* isascii = nullptr;
    if (!isascii) isascii = check(PyObject_GetAttrString(reinterpret_cast<PyObject*>(&PyUnicode_Type), "isascii"));
    Ref result(check(PyObject_CallFunctionObjArgs(isascii, s, nullptr)));
    return result.get() == Py_True;
}

// One Latin-1 byte as UTF-8: itself below 0x80, else two bytes.
inline char* put_latin1(unsigned char c, char* out) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Latin-1 bytes as UTF-8: ASCII runs as they are, sixteen bytes at a time.
char* latin1_to_utf8(const unsigned char* p, std::size_t n, char* out) {
    const unsigned char* const end = p + n;
#if defined(__SSE2__)
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(block) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
            p += 16;
            out += 16;
            continue;
        }
        for (const unsigned char* stop = p + 16; p < stop; ++p) out = put_latin1(*p, out);
    }
#endif
    for (; p < end; ++p) out = put_latin1(*p, out);
    return out;
}

// A text up to this length goes to the interpreter whole; a longer one in
// slices whose str and bytes stay within 512 bytes, which the interpreter's
// own small-object allocator serves: larger requests would send the C
// allocator tidying whatever other code freed before.
constexpr Py_ssize_t kWhole = Py_ssize_t(1) << 16;
constexpr Py_ssize_t kSlice = 432;

}  // namespace

Utf8Input::Utf8Input(PyObject* s) {
    // An ASCII str holds its UTF-8 already. Asking any other str for its
    // UTF-8 would leave a copy cached in it for as long as it lives.
    if (is_ascii(s)) {
        Py_ssize_t size;
        data_ = PyUnicode_AsUTF8AndSize(s, &size);
        if (!data_) throw ErrorSet{};
        size_ = static_cast<std::size_t>(size);
        return;
    }
    if (from_latin1(s)) return;
    // Characters past Latin-1: the interpreter's own encoder.
    bytes_ = Ref(check(PyUnicode_AsUTF8String(s)));
    char* data;
    Py_ssize_t size;
    if (PyBytes_AsStringAndSize(bytes_.get(), &data, &size) < 0) throw ErrorSet{};
    data_ = data;
    size_ = static_cast<std::size_t>(size);
}

// Most documents with other characters than ASCII hold only Latin-1 ones,
// which the interpreter copies out as bytes at memory speed and which are
// converted here far faster than its UTF-8 encoder does. False, with no
// error set, when the str holds a character past Latin-1.
bool Utf8Input::from_latin1(PyObject* s) {
    const Py_ssize_t n = PyUnicode_GetLength(s);
    if (n < 0) throw ErrorSet{};
    const auto chars = static_cast<std::size_t>(n);
    if (chars > PY_SSIZE_T_MAX / 2) return false;
    // At most two bytes a character; pages are touched only as filled.
    own_ = Bytes::at_least(chars * 2 + 1);
    char* const begin = reinterpret_cast<char*>(own_.data());
    char* out = begin;
    const Py_ssize_t slice = n <= kWhole ? n : kSlice;
    for (Py_ssize_t at = 0; at < n; at += slice) {
        Ref part(check(PyUnicode_Substring(s, at, at + slice < n ? at + slice : n)));
        PyObject* latin1 = PyUnicode_AsLatin1String(part.get());
        if (!latin1) {
            if (!PyErr_ExceptionMatches(PyExc_UnicodeEncodeError)) throw ErrorSet{};
            PyErr_Clear();
            own_.written(static_cast<std::size_t>(out - begin));
            own_ = Bytes();
            return false;
        }
        Ref bytes(latin1);
        char* data;
        Py_ssize_t size;
        if (PyBytes_AsStringAndSize(bytes.get(), &data, &size) < 0) throw ErrorSet{};
        out = latin1_to_utf8(reinterpret_cast<const unsigned char*>(data), static_cast<std::size_t>(size), out);
        own_.written(static_cast<std::size_t>(out - begin));
    }
    data_ = begin;
    size_ = static_cast<std::size_t>(out - begin);
    return true;
}

}  // namespace quorvane::py
