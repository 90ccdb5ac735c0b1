#pragma once

namespace quorvane::binding {

// True when text rendering must write cp as \u{hex} rather than raw (Unicode 15.1).
bool needs_unicode_escape(char32_t cp) noexcept;

}  // namespace quorvane::binding
