// The worker thread that reads chat windows through UI Automation. Microsoft tells UI
// Automation clients to keep off their UI thread, and a hung messenger blocks every call into
// it without a time limit of its own: so the UI thread only hands the worker a round of jobs
// and goes on; the worker posts the readings back as a message to the main window.
//
// A round that runs past its time limit is given up on: its worker is left to its blocked
// call, the window it was reading counts as hung until that worker comes back, and a fresh
// worker takes the next rounds. Nothing is shared with a worker beyond the hand-over.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "capture/uia_chat.h"

class Win32UiaReader : public IUiaReader {
public:
    // Makes the tree on the worker's thread, once COM is initialised there; nullptr when the
    // system has no UI Automation.
    using TreeFactory = std::unique_ptr<IUiaTree> (*)();
    // How long one window's reading may stand still before the window counts as hung: one
    // question into a messenger under load takes a few hundred milliseconds at most.
    static constexpr DWORD kWindowLimitMs = 5000;

    explicit Win32UiaReader(TreeFactory factory, DWORD windowLimitMs = kWindowLimitMs);
    ~Win32UiaReader() override;
    Win32UiaReader(const Win32UiaReader&) = delete;
    Win32UiaReader& operator=(const Win32UiaReader&) = delete;

    // Where the answers go: message, with a round in its lParam for TakeRound.
    void SetTarget(HWND notify, UINT message);
    bool Available() override;
    bool Ready() override;
    void Submit(std::vector<UiaJob> jobs) override;
    // The readings of a posted round, which it takes over; none from a round given up on,
    // but for the window it was stuck on, which no round has read since.
    std::vector<UiaReading> TakeRound(LPARAM round);

    struct Worker;
    struct Round;

private:
    void StartWorker();
    void GiveUp();

    TreeFactory factory_;
    DWORD limitMs_;
    HWND notify_ = nullptr;
    UINT message_ = 0;
    bool available_ = true;
    Worker* worker_ = nullptr;  // shared with its thread; each lets go of its reference
    unsigned serial_ = 0;
    bool outstanding_ = false;
    struct GivenUp {
        unsigned serial;
        WindowRef window;
    };
    std::vector<GivenUp> givenUp_;
};
