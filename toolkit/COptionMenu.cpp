// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/COptionMenu.h"

#include "toolkit/CFrame.h"

#include <cmath>

namespace VSTGUI {

namespace {

constexpr size_t kMaxEntries = 1024;
constexpr int32_t kMarkWidth = 10; // room left of the entries' text for the check mark

std::string printableOnly(std::string_view text) {
    std::string clean;
    for (char c : text)
        if (c >= 32 && c <= 126) clean += c;
    return clean;
}

} // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int32_t tag,
                         CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style) {
    setListener(listener);
    setTag(tag);
    setMouseEnabled(true);
    vmin = vmax = 0.0f;
    defaultValue = 0.0f;
}

COptionMenu::~COptionMenu() {
    if (popup) popup->menu = nullptr;
}

bool COptionMenu::addEntry(std::string_view text, int32_t index) {
    if (entries.size() >= kMaxEntries) return false;
    if (index < 0 || size_t(index) > entries.size()) index = int32_t(entries.size());
    entries.insert(entries.begin() + index, printableOnly(text));
    vmax = float(entries.size() - 1);
    setDirty(true);
    return true;
}

bool COptionMenu::setEntry(int32_t index, std::string_view text) {
    if (index < 0 || size_t(index) >= entries.size()) return false;
    entries[size_t(index)] = printableOnly(text);
    setDirty(true);
    if (popup) popup->setDirty(true);
    return true;
}

bool COptionMenu::removeEntry(int32_t index) {
    if (index < 0 || size_t(index) >= entries.size()) return false;
    closePopup();
    entries.erase(entries.begin() + index);
    vmax = entries.empty() ? 0.0f : float(entries.size() - 1);
    setDirty(true);
    return true;
}

void COptionMenu::removeAllEntries() {
    closePopup();
    entries.clear();
    vmax = 0.0f;
    setValue(0.0f);
    setDirty(true);
}

std::string COptionMenu::getEntry(int32_t index) const {
    if (index < 0 || size_t(index) >= entries.size()) return {};
    return entries[size_t(index)];
}

int32_t COptionMenu::getCurrent() const {
    if (entries.empty()) return -1;
    float v = getValue();
    if (!(v > 0.0f)) return 0;
    return int32_t(std::min<long>(std::lround(v), long(entries.size()) - 1));
}

bool COptionMenu::setCurrent(int32_t index) {
    if (index < 0 || size_t(index) >= entries.size()) return false;
    setValue(float(index));
    return true;
}

void COptionMenu::draw(CDrawContext* context) {
    if (style & kNoDrawStyle) return;
    drawBackground(context);
    if (!(style & kNoTextStyle)) {
        drawText(context, getEntry(getCurrent()), textArea());
        return;
    }
    // Only a small downward triangle marks the menu.
    context->setFillColor(fontColor);
    int32_t cx = size.left + getWidth() / 2;
    int32_t top = size.top + (getHeight() - 3) / 2;
    for (int32_t row = 0; row < 3; ++row)
        context->fillRect({cx - 2 + row, top + row, cx + 3 - row, top + row + 1});
}

MouseResult COptionMenu::onMouseDown(CDrawContext*, const CPoint&, int32_t buttons) {
    if (!getMouseEnabled() || !(buttons & kLButton)) return MouseResult::notHandled;
    if (isOpen())
        closePopup();
    else
        openPopup();
    return MouseResult::handled;
}

bool COptionMenu::openPopup() {
    if (frame == nullptr || entries.empty() || isOpen()) return false;
    CDrawContext* context = frame->getDrawContext();
    context->setFont(font);
    int32_t rowHeight =
        rowHeightWanted > 0 ? rowHeightWanted : std::max(8, context->getFontHeight() + 2);
    int32_t widest = 0;
    for (const std::string& entry : entries)
        widest = std::max(widest, context->getStringWidth(entry));
    int32_t columnWidth = widest + kMarkWidth + 4;
    int32_t count = getNbEntries();
    // As many rows as asked for, but no more than the frame has room for: a column that
    // does not fit continues in the next one instead of being cut off.
    const CRect& area = frame->getViewSize();
    int32_t fitting = std::max(1, (area.height() - 2) / rowHeight);
    int32_t rows = std::min({entriesPerColumn, count, fitting});
    int32_t columns = (count + rows - 1) / rows;
    int32_t width = columns * columnWidth + 2;
    int32_t height = rows * rowHeight + 2;

    // Below the menu if it fits, else above, else as low as the frame allows; never past
    // the frame's right edge.
    int32_t x = std::max(0, std::min(size.left, area.width() - width));
    int32_t y = size.bottom;
    if (y + height > area.height()) y = size.top - height;
    if (y < 0) y = std::max(0, area.height() - height);

    auto* view =
        new COptionMenuPopup(this, {x, y, x + width, y + height}, rowHeight, columnWidth, rows);
    view->highlight = getCurrent();
    frame->getCurrentMouseLocation(view->openedAt);
    view->remember();
    bool accepted = frame->setModalView(view);
    if (accepted) {
        popup = view;
        lastResult = -1;
        // The keys (Escape, arrows, Return) come to the open menu, also in a window that
        // only gets them while it holds the keyboard focus.
        frame->setFocusView(view);
    } else {
        view->forget();
    }
    view->forget();
    return accepted;
}

void COptionMenu::closePopup() {
    COptionMenuPopup* view = popup;
    if (view == nullptr) return;
    popup = nullptr;
    view->menu = nullptr;
    if (frame) {
        if (frame->getModalView() == view)
            frame->setModalView(nullptr);
        else
            frame->removeView(view);
    }
}

void COptionMenu::choose(int32_t index) {
    closePopup();
    if (index < 0 || index >= getNbEntries()) return;
    lastResult = index;
    setValue(float(index));
    setDirty(true);
    beginEdit();
    notify(frame ? frame->getDrawContext() : nullptr);
    endEdit();
}

void COptionMenu::removed() {
    closePopup();
    CParamDisplay::removed();
}

COptionMenuPopup::COptionMenuPopup(COptionMenu* menu, const CRect& size, int32_t rowHeight,
                                   int32_t columnWidth, int32_t rows)
    : CView(size), menu(menu), rowHeight(rowHeight), columnWidth(columnWidth),
      rows(std::max(1, rows)) {}

CRect COptionMenuPopup::entryRect(int32_t index) const {
    int32_t x = size.left + 1 + (index / rows) * columnWidth;
    int32_t y = size.top + 1 + (index % rows) * rowHeight;
    return {x, y, x + columnWidth, y + rowHeight};
}

int32_t COptionMenuPopup::entryAt(const CPoint& where) const {
    if (menu == nullptr || !hitTest(where)) return -1;
    int32_t column = (where.x - size.left - 1) / columnWidth;
    int32_t row = (where.y - size.top - 1) / rowHeight;
    if (where.x < size.left + 1 || where.y < size.top + 1 || row >= rows) return -1;
    int32_t index = column * rows + row;
    return index < menu->getNbEntries() ? index : -1;
}

void COptionMenuPopup::setHighlight(int32_t index) {
    if (index == highlight) return;
    highlight = index;
    setDirty(true);
}

void COptionMenuPopup::draw(CDrawContext* context) {
    if (menu == nullptr) return;
    context->setFillColor(menu->getBackColor());
    context->fillRect(size);
    context->setFrameColor(menu->getFrameColor());
    context->drawRect(size);
    context->setFont(menu->getFont());
    int32_t current = menu->getCurrent();
    bool marks = (menu->getStyle() & kCheckStyle) != 0;
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
        CRect r = entryRect(i);
        bool lit = i == highlight;
        if (lit) {
            context->setFillColor(menu->getFontColor());
            context->fillRect(r);
        }
        CColor ink = lit ? menu->getBackColor() : menu->getFontColor();
        if (marks && i == current) {
            context->setFillColor(ink);
            int32_t cy = r.top + r.height() / 2;
            context->fillRect({r.left + 3, cy - 1, r.left + 6, cy + 2});
        }
        context->setFontColor(ink);
        CRect text = r;
        text.left += kMarkWidth;
        context->drawString(menu->getEntry(i), text, kLeftText);
    }
}

MouseResult COptionMenuPopup::onMouseDown(CDrawContext*, const CPoint& where, int32_t buttons) {
    if (menu == nullptr) return MouseResult::handled;
    if (!hitTest(where)) {
        menu->closePopup(); // a click outside closes the menu without a choice
        return MouseResult::handled;
    }
    if (!(buttons & kLButton)) return MouseResult::handled;
    pressedInside = true;
    setHighlight(entryAt(where));
    return MouseResult::tracking;
}

MouseResult COptionMenuPopup::onMouseMoved(CDrawContext*, const CPoint& where, int32_t buttons) {
    setHighlight(entryAt(where));
    return (buttons & kMouseButtons) ? MouseResult::tracking : MouseResult::handled;
}

MouseResult COptionMenuPopup::onMouseUp(CDrawContext*, const CPoint& where, int32_t) {
    if (menu == nullptr) return MouseResult::handled;
    int32_t index = entryAt(where);
    // The release of the click that opened the menu chooses nothing unless the pointer
    // was dragged onto an entry.
    bool dragged = std::abs(where.x - openedAt.x) > 2 || std::abs(where.y - openedAt.y) > 2;
    if (index >= 0 && (pressedInside || dragged)) menu->choose(index);
    pressedInside = false;
    return MouseResult::handled;
}

bool COptionMenuPopup::onKeyDown(const KeyCode& key) {
    if (menu == nullptr) return false;
    int32_t count = menu->getNbEntries();
    switch (key.virt) {
    case kVKeyEscape:
        menu->closePopup();
        return true;
    case kVKeyReturn:
    case kVKeyEnter:
        if (highlight >= 0)
            menu->choose(highlight);
        else
            menu->closePopup();
        return true;
    case kVKeyUp:
        setHighlight(highlight > 0 ? highlight - 1 : 0);
        return true;
    case kVKeyDown:
        setHighlight(std::min(count - 1, highlight + 1));
        return true;
    case kVKeyLeft:
        if (highlight >= rows) setHighlight(highlight - rows);
        return true;
    case kVKeyRight:
        if (highlight + rows < count) setHighlight(highlight + rows);
        return true;
    default:
        return false;
    }
}

void COptionMenuPopup::removed() {
    if (menu && menu->popup == this) menu->popup = nullptr;
    menu = nullptr;
    CView::removed();
}

} // namespace VSTGUI
