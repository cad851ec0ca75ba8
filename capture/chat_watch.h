// The watching of every chat window, tick by tick: which windows are read (the one in front,
// or every one shown), through which row of the chat kinds, from which place, and what the
// reading worker's answers for the UI Automation rows make new. The form owns one and lets it
// read its live options; everything a message then does goes through the watcher's ports.
#pragma once

#include <string>
#include <vector>

#include "capture/chat_kinds.h"
#include "capture/uia_chat.h"
#include "capture/watcher.h"

class ChatWatch {
public:
    // lastHeader and chatTitle are the form's: the header of the last message handled in front,
    // and the title of the last chat window seen in front, which the title timer keeps.
    // uia may be nullptr: then no row read through UI Automation is.
    ChatWatch(IChatWindows& windows, WatcherPorts& ports, const ReadingOptions& options, IUiaReader* uia,
              std::string& lastHeader, const std::string& chatTitle)
        : windows_(windows), ports_(ports), options_(options), uia_(uia), lastHeader_(lastHeader),
          chatTitle_(chatTitle) {}

    // One tick of the message watcher: the transcripts are read and handled now; the windows
    // read through UI Automation are sent to the worker, whose answer comes as UiaRoundDone.
    void Tick();
    // The windows read through UI Automation alone, sent to the worker when it is free.
    void TickUia();
    void UiaRoundDone(const std::vector<UiaReading>& readings);

private:
    struct Place {
        WindowRef window;
        ChatPlace place;
    };
    struct UiaWindow {
        WindowRef window;
        UiaPlace place;
    };
    void WatchOwnPlaces(bool uia, std::vector<UiaJob>& jobs);
    void AskUia(WindowRef window, const ChatKind& kind, std::vector<UiaJob>& jobs);
    void AskUiaInFront(std::vector<UiaJob>& jobs);
    std::vector<Place>::iterator PlaceOf(WindowRef window);
    std::vector<UiaWindow>::iterator UiaWindowOf(WindowRef window);

    IChatWindows& windows_;
    WatcherPorts& ports_;
    const ReadingOptions& options_;
    IUiaReader* uia_;
    std::string& lastHeader_;
    const std::string& chatTitle_;
    // Where the watcher stands in each transcript, while every message is read or the windows
    // behind are: then no window repeats a message for having been away from the front.
    std::vector<Place> places_;  // a handful of windows: a list is all it takes
    // Whether the windows behind were read at the last tick, and whether there was one: ticking
    // that option places them where they stand, while a start reads their newest messages.
    bool background_ = false, ticked_ = false;
    WindowRef headerWindow_ = 0;  // the window whose message lastHeader is
    // A list read through UI Automation keeps its place whatever is in front: its items tell
    // what was handled, so a window coming back to the front repeats nothing.
    std::vector<UiaWindow> uiaWindows_;
};
