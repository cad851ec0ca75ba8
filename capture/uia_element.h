// One element of another program's UI Automation tree, as the chat rules read it: a small
// navigation and property interface, so that the rules run over the real tree on the reading
// worker and over an in-memory tree in the native tests alike.
//
// Every call may cross into the other program. A call that finds the element gone, or the
// program not answering, throws UiaUnavailable: the reading of that window ends there and the
// next round asks again. "No such element" is not a failure: navigation returns nullptr.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture/chat_windows.h"

// UI Automation's control type ids (UIA_ButtonControlTypeId and its kin), as documented.
enum UiaControlType : int {
    kUiaButton = 50000,
    kUiaImage = 50006,
    kUiaListItem = 50007,
    kUiaList = 50008,
    kUiaText = 50020,
    kUiaPane = 50033,
};

// BoundingRectangle in screen coordinates, as UI Automation gives it.
struct UiaBounds {
    double left = 0, top = 0, width = 0, height = 0;
    double CentreX() const { return left + width / 2; }
};

struct UiaUnavailable : std::runtime_error {
    UiaUnavailable() : std::runtime_error("UI Automation element unavailable") {}
};

class IUiaElement {
public:
    virtual ~IUiaElement() = default;
    virtual std::unique_ptr<IUiaElement> FirstChild() = 0;
    virtual std::unique_ptr<IUiaElement> LastChild() = 0;
    virtual std::unique_ptr<IUiaElement> NextSibling() = 0;
    virtual std::unique_ptr<IUiaElement> PreviousSibling() = 0;
    virtual int ControlType() = 0;
    // Name and ClassName in the system's ANSI code page; a character the code page cannot
    // hold (an emoji) is left out rather than turned into "?".
    virtual std::string Name() = 0;
    virtual std::string ClassName() = 0;
    // Unique among the tree's live elements; what tells an item already handled.
    virtual std::vector<int> RuntimeId() = 0;
    virtual UiaBounds BoundingRectangle() = 0;
};

// Where a window's tree begins.
struct IUiaTree {
    virtual ~IUiaTree() = default;
    // The element of a top-level window; nullptr when the window exposes none.
    virtual std::unique_ptr<IUiaElement> FromWindow(WindowRef window) = 0;
};
