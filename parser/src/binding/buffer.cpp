#include "binding/buffer.hpp"

#include <limits>
#include <new>

namespace quorvane::binding {

namespace {

// Node indices and key sizes are 32-bit to keep nodes small: two thousand
// million nodes, or a single element name longer than 2 GiB, are more than
// a buffer holds.
std::uint32_t narrow(std::size_t n) {
    if (n > std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
    return static_cast<std::uint32_t>(n);
}

}  // namespace

std::string_view attribute_key(std::string_view name) {
    if (name == "xmlns" || name.starts_with("xmlns:")) return name;
    return xml::local_name(name);
}

std::int32_t Buffer::append(std::int32_t parent, std::int32_t& last, BufferNode::Kind kind, std::string_view key,
                            std::int32_t first) {
    const std::uint32_t index = count_;
    const std::uint32_t j = index + kFirstBlock;
    if ((j & (j - 1)) == 0 && (j / kFirstBlock) > blocks_.size() + 1) {
        // The first node of a new block, twice the size of the one before.
        std::unique_ptr<BufferNode[]> block(new BufferNode[std::size_t(kFirstBlock) << (blocks_.size() + 1)]);
        blocks_.push_back(std::move(block));
    }
    const auto i = static_cast<std::int32_t>(narrow(index));
    at(i) = BufferNode{key.data(), narrow(key.size()), first, -1, kind, false};
    ++count_;
    if (last < 0) {
        (parent < 0 ? first_ : at(parent).first) = i;
    } else {
        at(last).next = i;
    }
    last = i;
    return i;
}

std::int32_t Buffer::keep_text(std::string_view raw, bool decode) {
    if (spans_.empty()) {
        // One allocation each for the usual few texts.
        spans_.reserve(16);
        chars_.reserve(256);
    }
    const std::size_t offset = chars_.size();
    if (decode) {
        xml::decode_append(raw, chars_);
    } else {
        chars_.append(raw);
    }
    spans_.push_back(Span{offset, chars_.size() - offset});
    return static_cast<std::int32_t>(narrow(spans_.size() - 1));
}

void Buffer::add_attribute(std::string_view name, std::string_view raw_value) {
    const std::int32_t text = keep_text(raw_value, true);
    append(-1, last_, BufferNode::Kind::Attribute, attribute_key(name), text);
}

void Buffer::add_text(std::string_view text) {
    const std::int32_t t = keep_text(text, false);
    append(-1, last_, BufferNode::Kind::Text, {}, t);
}

void Buffer::add_attributes(std::int32_t parent, std::int32_t& last, const xml::Event& start) {
    xml::Attributes attrs(start);
    std::string_view k, v;
    while (attrs.next(k, v)) {
        const std::int32_t text = keep_text(v, true);
        append(parent, last, BufferNode::Kind::Attribute, attribute_key(k), text);
    }
}

void Buffer::add_child(xml::Events& ev, const xml::Event& start) {
    std::vector<Open>& open = open_;
    open.clear();
    const std::int32_t root = append(-1, last_, BufferNode::Kind::Map, xml::local_name(start.name()), -1);
    open.push_back({root, -1, start.name()});
    add_attributes(root, open.back().last, start);
    while (!open.empty()) {
        const xml::Event e = ev.next();
        switch (e.kind) {
            case xml::Kind::Start: {
                Open& parent = open.back();
                const std::int32_t child =
                    append(parent.node, parent.last, BufferNode::Kind::Map, xml::local_name(e.name()), -1);
                open.push_back({child, -1, e.name()});
                add_attributes(child, open.back().last, e);
                break;
            }
            case xml::Kind::Text: {
                const std::int32_t t = keep_text(e.data, false);
                Open& parent = open.back();
                append(parent.node, parent.last, BufferNode::Kind::Text, {}, t);
                break;
            }
            case xml::Kind::End:
                open.pop_back();
                break;
            case xml::Kind::Eof:
                xml::missed_end(open.back().name);
        }
    }
}

std::string Buffer::key_text(const BufferNode& n) const {
    switch (n.kind) {
        case BufferNode::Kind::Attribute: {
            // Built by appending: `"@" + std::string(..)` draws a false
            // -Wrestrict warning from GCC 12 at -O3.
            std::string key = "@";
            key += n.key();
            return key;
        }
        case BufferNode::Kind::Text:
            return "$text";
        case BufferNode::Kind::Map:
            break;
    }
    return std::string(n.key());
}

bool Buffer::key_starts_with(const BufferNode& n, std::string_view prefix) {
    switch (n.kind) {
        case BufferNode::Kind::Attribute:
            return prefix.empty() || (prefix.front() == '@' && n.key().starts_with(prefix.substr(1)));
        case BufferNode::Kind::Text:
            return std::string_view("$text").starts_with(prefix);
        case BufferNode::Kind::Map:
            break;
    }
    return n.key().starts_with(prefix);
}

bool Buffer::leaf_text(const BufferNode& map, std::string& out) const {
    out.clear();
    for (std::int32_t i = map.first; i >= 0; i = node(i).next) {
        const BufferNode& c = node(i);
        if (c.kind == BufferNode::Kind::Map) return false;
        if (c.kind == BufferNode::Kind::Text) out += text(c);
    }
    return true;
}

bool Buffer::last_text(const BufferNode& map, std::string_view& out) const {
    bool found = false;
    for (std::int32_t i = map.first; i >= 0; i = node(i).next) {
        if (node(i).kind == BufferNode::Kind::Text) {
            out = text(node(i));
            found = true;
        }
    }
    return found;
}

}  // namespace quorvane::binding
