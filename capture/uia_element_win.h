// Another program's UI Automation tree as the chat rules read it, over the system's own UI
// Automation client (CUIAutomation). Made and used on one thread, the reading worker, whose
// COM the caller has initialised; every element it hands out belongs to that thread too.
#pragma once

#include <memory>

#include "capture/uia_element.h"

class Win32UiaTree : public IUiaTree {
public:
    // nullptr when the system has no UI Automation (Windows XP without its update) or COM is
    // not initialised on this thread: the caller then simply reads no such windows.
    static std::unique_ptr<Win32UiaTree> Create();
    ~Win32UiaTree() override;

    std::unique_ptr<IUiaElement> FromWindow(WindowRef window) override;
    // How many calls crossed into UI Automation so far, through the tree and every element it
    // handed out, failed ones included: what a reading costs, for the benchmarks.
    unsigned long Calls() const;

    struct Session;

private:
    explicit Win32UiaTree(std::shared_ptr<Session> session);
    std::shared_ptr<Session> session_;
};
