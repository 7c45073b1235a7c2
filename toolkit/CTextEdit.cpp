// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/CTextEdit.h"

#include "toolkit/CFrame.h"

namespace VSTGUI {

namespace {

bool printable(char c) {
    return c >= 32 && c <= 126;
}

} // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag,
                     const char* initial, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style) {
    setListener(listener);
    setTag(tag);
    setMouseEnabled(true);
    if (initial) setText(initial);
}

void CTextEdit::setText(std::string_view value) {
    std::string clean;
    for (char c : value) {
        if (clean.size() >= size_t(maxLength)) break;
        if (printable(c)) clean += c;
    }
    if (clean != text) {
        text = std::move(clean);
        setDirty(true);
    }
}

void CTextEdit::setMaxLength(int32_t length) {
    maxLength = std::max(0, length);
    if (text.size() > size_t(maxLength)) setText(std::string(text));
}

void CTextEdit::draw(CDrawContext* context) {
    if (!focused) {
        if (style & kNoDrawStyle) return;
        drawBackground(context);
        drawText(context, text, textArea());
        return;
    }
    // Editing: the field's own colour, so it stands out from the panel behind it.
    context->setFillColor(backColor);
    context->fillRect(size);
    context->setFrameColor(frameColor);
    context->drawRect(size);
    context->setFont(font);
    context->setFontColor(fontColor);
    context->drawEditString(editText, textArea(), horiAlign, getSelectionStart(), getSelectionEnd(),
                            selectionColor);
}

size_t CTextEdit::caretAt(CDrawContext* context, const CPoint& where) {
    if (context == nullptr) return editText.size();
    context->setFont(font);
    return context->getCaretIndexAt(editText, textArea(), horiAlign, where.x);
}

MouseResult CTextEdit::onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    if (!focused) {
        if (frame) frame->setFocusView(this);
        if (!focused) takeFocus(); // no frame to give the focus: edit all the same
        return MouseResult::handled;
    }
    moveCaret(caretAt(context, where), (buttons & kShift) != 0);
    selecting = true;
    return MouseResult::tracking;
}

MouseResult CTextEdit::onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) {
    if (!selecting || !focused) return MouseResult::handled;
    if (!(buttons & kLButton)) return onMouseUp(context, where, buttons);
    moveCaret(caretAt(context, where), true);
    return MouseResult::tracking;
}

MouseResult CTextEdit::onMouseUp(CDrawContext*, const CPoint&, int32_t) {
    selecting = false;
    return MouseResult::handled;
}

void CTextEdit::takeFocus() {
    focused = true;
    cancelled = false;
    editText = text;
    anchor = 0;
    caret = editText.size();
    setDirty(true);
}

void CTextEdit::looseFocus() {
    if (!focused) return;
    focused = false;
    selecting = false;
    setDirty(true);
    if (cancelled || editText == text) return;
    text = editText;
    // A frame being torn down keeps the text but tells nobody.
    if (frame && frame->isClosing()) return;
    beginEdit();
    notify(frame ? frame->getDrawContext() : nullptr);
    endEdit();
}

void CTextEdit::finish(bool accept) {
    cancelled = !accept;
    if (frame && frame->getFocusView() == this)
        frame->setFocusView(nullptr);
    else
        looseFocus();
}

void CTextEdit::replaceSelection(std::string_view with) {
    size_t from = getSelectionStart(), to = getSelectionEnd();
    editText.erase(from, to - from);
    size_t room = size_t(maxLength) > editText.size() ? size_t(maxLength) - editText.size() : 0;
    with = with.substr(0, std::min(with.size(), room));
    editText.insert(from, with);
    caret = anchor = from + with.size();
    setDirty(true);
}

void CTextEdit::moveCaret(size_t to, bool select) {
    caret = std::min(to, editText.size());
    if (!select) anchor = caret;
    setDirty(true);
}

bool CTextEdit::onKeyDown(const KeyCode& key) {
    if (!focused) return false;
    bool shift = (key.modifiers & kShift) != 0;
    bool selection = getSelectionStart() != getSelectionEnd();
    switch (key.virt) {
    case kVKeyReturn:
    case kVKeyEnter:
        finish(true);
        return true;
    case kVKeyEscape:
        finish(false);
        return true;
    case kVKeyBack:
        if (!selection && caret > 0) anchor = caret - 1;
        replaceSelection({});
        return true;
    case kVKeyDelete:
        if (!selection && caret < editText.size()) anchor = caret + 1;
        replaceSelection({});
        return true;
    case kVKeyHome:
        moveCaret(0, shift);
        return true;
    case kVKeyEnd:
        moveCaret(editText.size(), shift);
        return true;
    case kVKeyLeft:
        if (selection && !shift)
            moveCaret(getSelectionStart(), false);
        else
            moveCaret(caret > 0 ? caret - 1 : 0, shift);
        return true;
    case kVKeyRight:
        if (selection && !shift)
            moveCaret(getSelectionEnd(), false);
        else
            moveCaret(caret + 1, shift);
        return true;
    default:
        break;
    }
    if ((key.modifiers & kControl) && (key.character == 'a' || key.character == 'A')) {
        anchor = 0;
        moveCaret(editText.size(), true);
        return true;
    }
    char c = key.character != 0 ? char(key.character) : (key.virt == kVKeySpace ? ' ' : 0);
    if (printable(c) && !(key.modifiers & (kControl | kAlt | kSuper))) {
        char one[1] = {c};
        replaceSelection({one, 1});
        return true;
    }
    return false;
}

bool CTextEdit::onKeyUp(const KeyCode& key) {
    // The release of a key the field used is the field's too.
    if (!focused) return false;
    return key.character != 0 || key.virt != kVKeyNone;
}

} // namespace VSTGUI
