// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line text field. A click takes the keyboard focus and selects the whole text; a
// further click places the caret (a drag selects). Printable ASCII characters are typed
// over the selection up to the maximum length; Backspace, Delete, Home, End, Left and
// Right edit and move (with Shift they select); Control+A selects all. Return or Enter
// accepts the text, as does a click elsewhere; Escape restores the text from before. An
// accepted change notifies the listener.
#pragma once

#include "toolkit/CParamDisplay.h"

#include <string>
#include <string_view>

namespace VSTGUI {

class CTextEdit : public CParamDisplay {
public:
    CTextEdit(const CRect& size, CControlListener* listener, int32_t tag,
              const char* text = nullptr, CBitmap* background = nullptr, int32_t style = 0);

    // Characters outside 32..126 are left out, and the text is cut at the maximum length.
    void setText(std::string_view text);
    const std::string& getText() const { return text; }
    void setMaxLength(int32_t length);
    int32_t getMaxLength() const { return maxLength; }

    // While the field has the focus: the text being edited, caret and selection.
    bool hasFocus() const { return focused; }
    const std::string& getEditText() const { return editText; }
    size_t getCaret() const { return caret; }
    size_t getSelectionStart() const { return std::min(anchor, caret); }
    size_t getSelectionEnd() const { return std::max(anchor, caret); }

    // The colour under selected text while editing (its alpha blends it with the field).
    void setSelectionColor(const CColor& colour) { selectionColor = colour, setDirty(); }

    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseUp(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    bool onKeyUp(const KeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;

private:
    void replaceSelection(std::string_view with);
    void moveCaret(size_t to, bool select);
    size_t caretAt(CDrawContext* context, const CPoint& where);
    void finish(bool accept);

    std::string text;
    std::string editText;
    size_t caret = 0;
    size_t anchor = 0;
    int32_t maxLength = 255;
    bool focused = false;
    CColor selectionColor{51, 133, 230, 110}; // a light blue over a light field
    bool cancelled = false;
    bool selecting = false;
};

} // namespace VSTGUI
