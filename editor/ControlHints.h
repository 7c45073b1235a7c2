// SPDX-License-Identifier: GPL-3.0-or-later
// What each control of the window does, in a few words, for the hint line of the preset
// bar; and what learn and clear mode expect next. One table keyed by control tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hints {

// The hint of the control with `tag` (the sound parameters 0..47, the editor's own
// controls and the preset bar's); empty for a tag without a control.
std::string_view forControl(int32_t tag);

// Learn mode before a control was touched.
inline constexpr std::string_view kLearnStart = "Learn: click a control, then move a controller";
// Learn mode once a control was touched: this text, then the parameter's name.
inline constexpr std::string_view kLearnTarget = "Learn: move a controller for ";
inline constexpr std::string_view kClear = "Clear: click the control to free from MIDI";

// What the line says in learn mode: kLearnStart without a target, else kLearnTarget with
// the target's name.
std::string learnText(std::string_view targetName);

} // namespace hints
