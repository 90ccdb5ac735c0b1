// The leftover buffer of a record read in buffer mode: every key the record
// does not claim, in document order, kept for its embedded groups. A child
// element is kept whole as a map. Nodes are small, live in blocks that never
// move, and are built with an explicit stack, so nesting depth costs no
// native stack and a long run of unknown elements costs a few times its
// bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/reader.hpp"

namespace quorvane::binding {

struct BufferNode {
    enum class Kind : std::uint8_t { Attribute, Text, Map };
    // Attribute: its name as keyed (a namespace declaration whole, any other
    // attribute by local name), without the "@"; Map: the element's local
    // name; Text: empty (the key is "$text"). A view of the document.
    const char* key_data;
    std::uint32_t key_size;
    // Map: its first child, or -1; Attribute and Text: the index of its
    // decoded text.
    std::int32_t first;
    std::int32_t next;
    Kind kind;
    bool taken;

    std::string_view key() const { return {key_data, key_size}; }
};

class Buffer {
public:
    void add_attribute(std::string_view name, std::string_view raw_value);
    void add_text(std::string_view text);
    // Buffers the child whose start was just taken, through its end tag.
    void add_child(xml::Events& ev, const xml::Event& start);

    std::int32_t first() const { return first_; }
    BufferNode& node(std::int32_t i) { return at(i); }
    const BufferNode& node(std::int32_t i) const { return at(i); }
    // The text of an Attribute or Text node.
    std::string_view text(const BufferNode& n) const {
        const Span s = spans_[static_cast<std::size_t>(n.first)];
        return std::string_view(chars_).substr(s.offset, s.size);
    }

    // The key as the messages write it: "@name", "$text" or the local name.
    std::string key_text(const BufferNode& n) const;
    // Whether that key begins with `prefix`, without building it.
    static bool key_starts_with(const BufferNode& n, std::string_view prefix);

    // A map entry read as a leaf would be: its text pieces joined (its
    // attributes ignored). False when it holds a child element.
    bool leaf_text(const BufferNode& map, std::string& out) const;
    // The last text piece of a map entry; false when it has none.
    bool last_text(const BufferNode& map, std::string_view& out) const;

private:
    // Block b holds kFirstBlock << b nodes: node i is found without a search.
    static constexpr std::uint32_t kFirstBlock = 16;

    BufferNode& at(std::int32_t i) const {
        const auto j = static_cast<std::uint32_t>(i) + kFirstBlock;
        const int b = 31 - __builtin_clz(j / kFirstBlock);
        BufferNode* block = b == 0 ? const_cast<BufferNode*>(first_block_.data()) : blocks_[static_cast<std::size_t>(b - 1)].get();
        return block[j - (kFirstBlock << b)];
    }
    // Appends a node under `parent` (-1: the top level), after `*last`, its
    // parent's last child so far, which then becomes the new node.
    std::int32_t append(std::int32_t parent, std::int32_t& last, BufferNode::Kind kind, std::string_view key,
                        std::int32_t first);
    // The index of a new text, decoded from `raw` when `decode` is set.
    std::int32_t keep_text(std::string_view raw, bool decode);
    void add_attributes(std::int32_t parent, std::int32_t& last, const xml::Event& start);

    // The first block in place: most holders keep a few attributes only.
    std::array<BufferNode, kFirstBlock> first_block_;
    std::vector<std::unique_ptr<BufferNode[]>> blocks_;
    std::uint32_t count_ = 0;
    std::int32_t first_ = -1, last_ = -1;
    // The decoded texts, one after another.
    struct Span {
        std::size_t offset, size;
    };
    std::string chars_;
    std::vector<Span> spans_;
    // The open elements of the child being buffered, with their last child
    // so far; kept for the next child.
    struct Open {
        std::int32_t node;
        std::int32_t last;
        std::string_view name;
    };
    std::vector<Open> open_;
};

// Attribute key as records see it: namespace declarations keep their whole
// name, any other attribute its local name.
std::string_view attribute_key(std::string_view name);

}  // namespace quorvane::binding
