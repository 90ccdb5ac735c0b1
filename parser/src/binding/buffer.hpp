// The leftover buffer of a record read in buffer mode: every key the record
// does not claim, in document order, kept for its embedded groups. A child
// element is kept whole as a map. Nodes live in one flat vector linked by
// indices and are built with an explicit stack, so nesting depth costs no
// native stack.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xml/reader.hpp"

namespace quorvane::binding {

struct BufferNode {
    enum class Kind : std::uint8_t { Attribute, Text, Map };
    Kind kind;
    bool taken = false;
    // Attribute: its name as keyed (a namespace declaration whole, any other
    // attribute by local name), without the "@"; Map: the element's local
    // name; Text: empty (the key is "$text").
    std::string_view key;
    std::string text;  // Attribute and Text: the decoded value
    std::int32_t first = -1, last = -1, next = -1;
};

class Buffer {
public:
    void add_attribute(std::string_view name, std::string_view raw_value);
    void add_text(std::string_view text);
    // Buffers the child whose start was just taken, through its end tag.
    void add_child(xml::Events& ev, const xml::Event& start);

    std::int32_t first() const { return first_; }
    BufferNode& node(std::int32_t i) { return nodes_[static_cast<std::size_t>(i)]; }
    const BufferNode& node(std::int32_t i) const { return nodes_[static_cast<std::size_t>(i)]; }

    // The key as the messages write it: "@name", "$text" or the local name.
    std::string key_text(const BufferNode& n) const;
    // Whether that key begins with `prefix`, without building it.
    static bool key_starts_with(const BufferNode& n, std::string_view prefix);

    // A map entry read as a leaf would be: its text pieces joined (its
    // attributes ignored). False when it holds a child element.
    bool leaf_text(const BufferNode& map, std::string& out) const;
    // The last text piece of a map entry, or null when it has none.
    const std::string* last_text(const BufferNode& map) const;

private:
    std::int32_t append(std::int32_t parent, BufferNode node);
    void add_attributes(std::int32_t parent, const xml::Event& start);

    std::vector<BufferNode> nodes_;
    std::int32_t first_ = -1, last_ = -1;
    // The open elements of the child being buffered, kept for the next.
    struct Open {
        std::int32_t node;
        std::string_view name;
    };
    std::vector<Open> open_;
};

// Attribute key as records see it: namespace declarations keep their whole
// name, any other attribute its local name.
std::string_view attribute_key(std::string_view name);

}  // namespace quorvane::binding
