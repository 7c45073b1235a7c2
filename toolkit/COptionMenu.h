// SPDX-License-Identifier: GPL-3.0-or-later
// A menu of text entries. Closed, it shows the current entry (or, with kNoTextStyle, only a
// small marker). A left click opens the entries as a popup view over the panel, inside the
// frame, in columns of `entries per column` (fewer when the frame is not high enough for
// that many rows); a click on an entry chooses it (so does
// releasing over an entry after dragging from the menu), a click outside or Escape closes
// the popup without a choice. The arrow keys and Return choose too. A choice sets the
// current entry (the value is its index) and notifies the listener.
#pragma once

#include "toolkit/CParamDisplay.h"

#include <string>
#include <string_view>
#include <vector>

namespace VSTGUI {

class COptionMenuPopup;

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, int32_t tag,
                CBitmap* background = nullptr, int32_t style = 0);
    ~COptionMenu() override;

    // Adds an entry at the end, or before `index`; false once the menu holds 1024 entries.
    bool addEntry(std::string_view text, int32_t index = -1);
    bool setEntry(int32_t index, std::string_view text);
    bool removeEntry(int32_t index);
    void removeAllEntries();
    // The entry's text; empty for an index out of range.
    std::string getEntry(int32_t index) const;
    int32_t getNbEntries() const { return int32_t(entries.size()); }

    int32_t getCurrent() const;
    bool setCurrent(int32_t index);
    // The entry chosen in the popup the last time it closed; -1 when it closed without one.
    int32_t getLastResult() const { return lastResult; }

    void setNbEntriesPerColumn(int32_t count) { entriesPerColumn = std::max(1, count); }
    int32_t getNbEntriesPerColumn() const { return entriesPerColumn; }
    // The height of the popup's rows; 0 (the default) takes the font's height plus 2, so a
    // small font can fit more rows by asking for its bare height.
    void setRowHeight(int32_t pixels) { rowHeightWanted = std::max(0, pixels); }
    int32_t getRowHeight() const { return rowHeightWanted; }

    // The popup, while it is open.
    bool isOpen() const { return popup != nullptr; }
    COptionMenuPopup* getPopup() const { return popup; }
    bool openPopup();
    void closePopup();

    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    void removed() override;

private:
    friend class COptionMenuPopup;
    void choose(int32_t index);

    std::vector<std::string> entries;
    int32_t entriesPerColumn = 1024;
    int32_t rowHeightWanted = 0;
    int32_t lastResult = -1;
    COptionMenuPopup* popup = nullptr; // owned by the frame while open
};

// The open menu: a modal view that lays the entries out in columns.
class COptionMenuPopup : public CView {
public:
    COptionMenuPopup(COptionMenu* menu, const CRect& size, int32_t rowHeight, int32_t columnWidth,
                     int32_t rows);

    // The entry under `where`, or -1.
    int32_t entryAt(const CPoint& where) const;
    // The rectangle of entry `index` (frame coordinates).
    CRect entryRect(int32_t index) const;
    int32_t getHighlight() const { return highlight; }

    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseUp(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    void removed() override;

private:
    friend class COptionMenu;
    void setHighlight(int32_t index);

    COptionMenu* menu;
    int32_t rowHeight;
    int32_t columnWidth;
    int32_t rows;
    int32_t highlight = -1;
    bool pressedInside = false;
    CPoint openedAt{-1, -1};
};

} // namespace VSTGUI
