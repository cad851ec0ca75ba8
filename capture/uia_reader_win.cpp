// The UI Automation reading worker; see uia_reader_win.h.
#include "capture/uia_reader_win.h"

#include <algorithm>
#include <mutex>

#include "win/com.h"
#include "win/handles.h"

// What the UI thread and one worker thread share: the jobs handed over, the window being read
// and since when, and whether the worker was given up on.
struct Win32UiaReader::Worker {
    LONG refs = 2;  // the reader's and the thread's
    unsigned serial = 0;
    TreeFactory factory = nullptr;
    HWND notify = nullptr;
    UINT message = 0;
    UniqueKernelHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    SectionLock lock;
    std::vector<UiaJob> jobs;  // under lock
    bool quit = false;         // under lock
    WindowRef reading = 0;     // under lock: the window being read, 0 between windows
    DWORD readingSince = 0;    // under lock

    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }
};

struct Win32UiaReader::Round {
    unsigned serial = 0;
    bool unavailable = false;
    std::vector<UiaReading> readings;
};

namespace {

// The time Sonvira read a message, which stands in its header. Written by hand: the C
// library's formatted printing would bring its whole float formatter into the program.
std::string TimeOfDay() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::string text;
    for (WORD part : {t.wHour, t.wMinute, t.wSecond}) {
        if (!text.empty()) text += ':';
        text += static_cast<char>('0' + part / 10 % 10);
        text += static_cast<char>('0' + part % 10);
    }
    return text;
}

DWORD WINAPI WorkerMain(void* param) {
    auto* w = static_cast<Win32UiaReader::Worker*>(param);
    {
        // The free-threaded apartment: UI Automation's client objects need no message loop
        // here, and the worker has none.
        ScopedCom com(COINIT_MULTITHREADED);
        std::unique_ptr<IUiaTree> tree;
        try {
            tree = w->factory();
        } catch (...) {
        }
        // A window counts as hung when its reading stands still, not when it is long: finding
        // a list walks many elements, each a slow question under Wine, and that is progress.
        auto progress = [w] {
            std::lock_guard<SectionLock> hold(w->lock);
            w->readingSince = GetTickCount();
        };
        std::unique_ptr<UiaListReader> lists = tree ? std::make_unique<UiaListReader>(*tree, progress) : nullptr;
        for (bool quit = false; !quit;) {
            WaitForSingleObject(w->wake.get(), INFINITE);
            std::vector<UiaJob> jobs;
            {
                std::lock_guard<SectionLock> hold(w->lock);
                if (w->quit) break;
                jobs.swap(w->jobs);
            }
            auto* round = new Win32UiaReader::Round;
            round->serial = w->serial;
            round->unavailable = !lists;
            if (lists) {
                // A list kept for a window that has gone would keep its elements alive for good.
                lists->ForgetIf([](WindowRef window) { return !IsWindow(reinterpret_cast<HWND>(window)); });
                for (const UiaJob& job : jobs) {
                    {
                        std::lock_guard<SectionLock> hold(w->lock);
                        w->reading = job.window;
                        w->readingSince = GetTickCount();
                    }
                    // Nothing may leave the thread: a reading that failed in any way is none.
                    try {
                        round->readings.push_back(lists->Read(job, TimeOfDay()));
                    } catch (...) {
                        UiaReading failed;
                        failed.window = job.window;
                        failed.place = job.place;
                        round->readings.push_back(std::move(failed));
                    }
                }
                std::lock_guard<SectionLock> hold(w->lock);
                w->reading = 0;
                quit = w->quit;
            }
            if (!PostMessageW(w->notify, w->message, 0, reinterpret_cast<LPARAM>(round))) delete round;
        }
    }
    w->Release();
    return 0;
}

}  // namespace

Win32UiaReader::Win32UiaReader(TreeFactory factory, DWORD windowLimitMs) : factory_(factory), limitMs_(windowLimitMs) {}

Win32UiaReader::~Win32UiaReader() {
    // The worker may be blocked in a call into a hung messenger: it is told to end and not
    // waited for; whatever it posts later finds no window and is dropped.
    if (worker_) {
        {
            std::lock_guard<SectionLock> hold(worker_->lock);
            worker_->quit = true;
        }
        SetEvent(worker_->wake.get());
        worker_->Release();
    }
}

void Win32UiaReader::SetTarget(HWND notify, UINT message) {
    notify_ = notify;
    message_ = message;
}

bool Win32UiaReader::Available() { return available_; }

void Win32UiaReader::StartWorker() {
    auto* w = new Worker;
    w->serial = ++serial_;
    w->factory = factory_;
    w->notify = notify_;
    w->message = message_;
    HANDLE thread = w->wake ? CreateThread(nullptr, 0, WorkerMain, w, 0, nullptr) : nullptr;
    if (!thread) {
        delete w;
        available_ = false;
        return;
    }
    CloseHandle(thread);
    worker_ = w;
}

// The worker stays blocked where it is; the window it was reading is left alone until it
// comes back, and the next round goes to a fresh worker.
void Win32UiaReader::GiveUp() {
    WindowRef stuck;
    {
        std::lock_guard<SectionLock> hold(worker_->lock);
        worker_->quit = true;
        stuck = worker_->reading;
    }
    givenUp_.push_back({worker_->serial, stuck});
    worker_->Release();
    worker_ = nullptr;
    outstanding_ = false;
}

bool Win32UiaReader::Ready() {
    if (outstanding_ && worker_) {
        bool late;
        {
            std::lock_guard<SectionLock> hold(worker_->lock);
            late = worker_->reading != 0 && GetTickCount() - worker_->readingSince > limitMs_;
        }
        if (late) GiveUp();
    }
    // A few workers stuck at once already say the messengers are not answering: no more
    // threads are spent on them until one comes back.
    return available_ && !outstanding_ && givenUp_.size() < 4;
}

void Win32UiaReader::Submit(std::vector<UiaJob> jobs) {
    jobs.erase(std::remove_if(jobs.begin(), jobs.end(),
                              [&](const UiaJob& j) {
                                  return std::any_of(givenUp_.begin(), givenUp_.end(),
                                                     [&](const GivenUp& g) { return g.window == j.window; });
                              }),
               jobs.end());
    if (jobs.empty() || !Ready()) return;
    if (!worker_) StartWorker();
    if (!worker_) return;
    {
        std::lock_guard<SectionLock> hold(worker_->lock);
        worker_->jobs = std::move(jobs);
    }
    outstanding_ = true;
    SetEvent(worker_->wake.get());
}

std::vector<UiaReading> Win32UiaReader::TakeRound(LPARAM lp) {
    std::unique_ptr<Round> round(reinterpret_cast<Round*>(lp));
    if (worker_ && round->serial == worker_->serial) {
        outstanding_ = false;
        if (round->unavailable) available_ = false;
        return std::move(round->readings);
    }
    // A worker given up on came back: its window answers again. No round has read that window
    // since, so its reading still follows from the place it was given.
    std::vector<UiaReading> kept;
    for (auto g = givenUp_.begin(); g != givenUp_.end();) {
        if (g->serial != round->serial) {
            ++g;
            continue;
        }
        for (UiaReading& r : round->readings)
            if (r.window == g->window) kept.push_back(std::move(r));
        g = givenUp_.erase(g);
    }
    return kept;
}
