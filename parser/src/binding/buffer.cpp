#include "binding/buffer.hpp"

namespace quorvane::binding {

std::string_view attribute_key(std::string_view name) {
    if (name == "xmlns" || name.starts_with("xmlns:")) return name;
    return xml::local_name(name);
}

std::int32_t Buffer::append(std::int32_t parent, BufferNode node) {
    const auto index = static_cast<std::int32_t>(nodes_.size());
    if (nodes_.empty()) nodes_.reserve(16);
    nodes_.push_back(std::move(node));
    std::int32_t& head = parent < 0 ? first_ : nodes_[static_cast<std::size_t>(parent)].first;
    std::int32_t& tail = parent < 0 ? last_ : nodes_[static_cast<std::size_t>(parent)].last;
    if (tail < 0) {
        head = index;
    } else {
        nodes_[static_cast<std::size_t>(tail)].next = index;
    }
    tail = index;
    return index;
}

void Buffer::add_attribute(std::string_view name, std::string_view raw_value) {
    BufferNode n{BufferNode::Kind::Attribute, false, attribute_key(name), {}};
    xml::decode_append(raw_value, n.text);
    append(-1, std::move(n));
}

void Buffer::add_text(std::string_view text) {
    append(-1, BufferNode{BufferNode::Kind::Text, false, {}, std::string(text)});
}

void Buffer::add_attributes(std::int32_t parent, const xml::Event& start) {
    xml::Attributes attrs(start);
    std::string_view k, v;
    while (attrs.next(k, v)) {
        BufferNode n{BufferNode::Kind::Attribute, false, attribute_key(k), {}};
        xml::decode_append(v, n.text);
        append(parent, std::move(n));
    }
}

void Buffer::add_child(xml::Events& ev, const xml::Event& start) {
    std::vector<Open>& open = open_;
    open.clear();
    const std::int32_t root = append(-1, BufferNode{BufferNode::Kind::Map, false, xml::local_name(start.name()), {}});
    add_attributes(root, start);
    open.push_back({root, start.name()});
    while (!open.empty()) {
        const xml::Event e = ev.next();
        switch (e.kind) {
            case xml::Kind::Start: {
                const std::int32_t child =
                    append(open.back().node, BufferNode{BufferNode::Kind::Map, false, xml::local_name(e.name()), {}});
                add_attributes(child, e);
                open.push_back({child, e.name()});
                break;
            }
            case xml::Kind::Text:
                append(open.back().node, BufferNode{BufferNode::Kind::Text, false, {}, std::string(e.data)});
                break;
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
            key += n.key;
            return key;
        }
        case BufferNode::Kind::Text:
            return "$text";
        case BufferNode::Kind::Map:
            break;
    }
    return std::string(n.key);
}

bool Buffer::key_starts_with(const BufferNode& n, std::string_view prefix) {
    switch (n.kind) {
        case BufferNode::Kind::Attribute:
            return prefix.empty() || (prefix.front() == '@' && n.key.starts_with(prefix.substr(1)));
        case BufferNode::Kind::Text:
            return std::string_view("$text").starts_with(prefix);
        case BufferNode::Kind::Map:
            break;
    }
    return n.key.starts_with(prefix);
}

bool Buffer::leaf_text(const BufferNode& map, std::string& out) const {
    out.clear();
    for (std::int32_t i = map.first; i >= 0; i = node(i).next) {
        const BufferNode& c = node(i);
        if (c.kind == BufferNode::Kind::Map) return false;
        if (c.kind == BufferNode::Kind::Text) out += c.text;
    }
    return true;
}

const std::string* Buffer::last_text(const BufferNode& map) const {
    const std::string* text = nullptr;
    for (std::int32_t i = map.first; i >= 0; i = node(i).next)
        if (node(i).kind == BufferNode::Kind::Text) text = &node(i).text;
    return text;
}

}  // namespace quorvane::binding
