// The two voice profiles: filling the voice lists, applying stored settings, speaking with a
// profile and keeping the engine objects in step with the options page.
//
// The track bars fire their change handlers themselves when a position really changes; the
// routines here still set the engine value and the label after every program-made change, so
// the label rule holds whether or not a handler ran (or is wired at all).
#include "speech/voice_profiles.h"

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/string_table.h"
#include "base/trace.h"

namespace {

// The token of the selected item. A list whose edit field names no voice has no selection;
// that is the user's doing, not the engine's, so it is a plain error for the default handler.
VoiceTokenPtr SelectedToken(const TComboBox& list) {
    int index = list.ItemIndex();
    if (index < 0 || index >= list.Count()) throw std::runtime_error(texts::kNoVoiceSelected);
    auto token = std::dynamic_pointer_cast<IVoiceToken>(list.Items(index).object);
    if (!token) throw std::runtime_error(texts::kItemCarriesNoVoice);
    return token;
}

// The item of the stored name: the one at the stored index when it bears that name (two
// voices may share one), else the first that does. Without a stored name, or when no item
// bears it, the stored index when it names an item with text, else the first item.
int StoredChoice(const TComboBox& list, int stored, const std::string& name) {
    const bool inList = stored >= 0 && stored < list.Count();
    if (!name.empty()) {
        if (inList && list.Items(stored).text == name) return stored;
        for (int i = 0; i < list.Count(); ++i)
            if (list.Items(i).text == name) return i;
    }
    if (inList && !list.Items(stored).text.empty()) return stored;
    return 0;
}

// Collects the first error of a sequence of steps that must all run. Start-up uses it so
// that one engine failure does not leave later controls at their creation values, which
// shutdown would then write over the stored settings.
class FirstError {
public:
    template <typename F>
    void Run(F&& step) {
        try {
            step();
        } catch (...) {
            // Only the first error is shown; the others would otherwise vanish.
            if (first_) TraceIgnored("a voice setting after an earlier failure");
            else first_ = std::current_exception();
        }
    }
    void Raise() {
        if (first_) std::rethrow_exception(first_);
    }

private:
    std::exception_ptr first_;
};

void ShowPosition(TLabel& label, const TTrackBar& bar) { label.SetCaption(std::to_string(bar.Position())); }

// The voice list's change handler as the window wired it, or the voice step itself when
// nothing is wired (the free functions are also used without a window).
void RunVoiceChange(VoiceProfile& profile) {
    if (profile.CBVoice.OnChange) profile.CBVoice.OnChange();
    else ApplyProfileVoice(profile);
}

void SelectStored(VoiceProfile& profile, int stored, const std::string& name, FirstError& errors) {
    if (profile.CBVoice.Count() == 0) return;  // no voice: no selection, no handler
    profile.CBVoice.SetItemIndex(StoredChoice(profile.CBVoice, stored, name));
    errors.Run([&] { RunVoiceChange(profile); });
}

// Sets a track bar (which may fire its handler), then the engine value from the position the
// bar took, then the label, whatever the handler did or threw.
template <typename SetEngine>
void ApplyStored(TTrackBar& bar, TLabel& label, int value, SetEngine setEngine, FirstError& errors) {
    errors.Run([&] { bar.SetPosition(value); });
    errors.Run([&] { setEngine(bar.Position()); });
    ShowPosition(label, bar);
}

// A fresh object per message: dropping the old one cuts off what it was saying.
void SpeakWith(VoiceProfile& profile, const VoiceTokenPtr& token, const std::string& ansiText) {
    profile.SpVoice.Disconnect();
    profile.SpVoice.SetVoice(token);
    profile.SpVoice.SetRate(profile.TRate.Position());
    profile.SpVoice.SetVolume(profile.TVolume.Position());
    profile.SpVoice.Speak(ansiText);
}

// The voice is named once, however often and by whichever profile it is tried.
void Failed(VoiceProfile& profile, IVoiceToken& token) noexcept {
    TraceIgnored("speaking with a voice that failed");
    if (token.failed) return;
    token.failed = true;
    try {
        std::string name = token.Description();
        if (profile.onVoiceFailed) profile.onVoiceFailed(name);
    } catch (...) {
        TraceIgnored("naming a voice that failed");
    }
}

}  // namespace

namespace {
template <std::size_t... I>
VoiceProfiles MakeEach(ISpeechEngine& engine, std::index_sequence<I...>) {
    return {{(static_cast<void>(I), VoiceProfile(engine))...}};
}
}  // namespace

VoiceProfiles MakeVoiceProfiles(ISpeechEngine& engine) {
    return MakeEach(engine, std::make_index_sequence<kProfileCount>());
}

void InitVoiceProfiles(VoiceProfiles& profiles, const StoredVoice (&stored)[kProfileCount], bool* whole) {
    FirstError errors;

    std::vector<VoiceTokenPtr> tokens;
    bool listed = false, complete = true;
    errors.Run([&] {
        tokens = profiles[kOwnProfile].SpVoice.GetVoices(&complete);
        listed = true;
    });
    // Every list carries the same token objects in engine order; the name is read per list. A
    // voice whose name cannot be read is left out, so one broken voice does not cost the
    // others; only when none is left is its error shown.
    FirstError unreadable;
    for (const auto& token : tokens) {
        std::string names[kProfileCount];
        bool read = false;
        unreadable.Run([&] {
            for (std::string& name : names) name = token->Description();
            read = true;
        });
        if (!read) {
            complete = false;
            continue;
        }
        for (int p = 0; p < kProfileCount; ++p) profiles[p].CBVoice.AddItem(names[p], token);
    }
    if (profiles[kOwnProfile].CBVoice.Count() == 0) errors.Run([&] { unreadable.Raise(); });
    if (whole) *whole = listed && complete;

    for (int p = 0; p < kProfileCount; ++p)
        SelectStored(profiles[p], stored[p].Engine, stored[p].EngineName.value_or(""), errors);
    // Rates before volumes, as the settings always were applied.
    for (int p = 0; p < kProfileCount; ++p) {
        VoiceProfile& v = profiles[p];
        ApplyStored(v.TRate, v.LRate, stored[p].Rate, [&](int r) { v.SpVoice.SetRate(r); }, errors);
    }
    for (int p = 0; p < kProfileCount; ++p) {
        VoiceProfile& v = profiles[p];
        ApplyStored(v.TVolume, v.LVolume, stored[p].Volume, [&](int r) { v.SpVoice.SetVolume(r); }, errors);
    }

    errors.Raise();
}

void SpeakWithProfile(VoiceProfile& profile, const std::string& ansiText) {
    // A message that cannot be spoken is simply not spoken: no error here reaches the user.
    VoiceTokenPtr token;
    try {
        // The profile's last message stops here whether or not this one can be spoken.
        profile.SpVoice.Disconnect();
        token = SelectedToken(profile.CBVoice);
        if (!token->failed) return SpeakWith(profile, token, ansiText);
    } catch (...) {
        if (!token) return TraceIgnored("speaking a message");
        Failed(profile, *token);
    }
    // Another voice speaks in its place, the next one in the list's order.
    const int selected = profile.CBVoice.ItemIndex(), count = profile.CBVoice.Count();
    for (int step = 1; step < count; ++step) {
        const int at = (selected + step) % count;
        auto other = std::dynamic_pointer_cast<IVoiceToken>(profile.CBVoice.Items(at).object);
        if (!other || other->failed) continue;
        try {
            SpeakWith(profile, other, ansiText);
            profile.CBVoice.SetItemIndex(at);
            return;
        } catch (...) {
            Failed(profile, *other);
        }
    }
}

void StopSpeaking(VoiceProfile& profile) {
    try {
        profile.SpVoice.Disconnect();
    } catch (...) {
        TraceIgnored("stopping a voice");
    }
}

void ApplyProfileVoice(VoiceProfile& profile) {
    // The token is found before the engine is touched, so a failed change keeps the voice. A
    // voice chosen again gets another chance.
    VoiceTokenPtr token = SelectedToken(profile.CBVoice);
    token->failed = false;
    profile.SpVoice.SetVoice(token);
}

// The label shows the position even when the engine refuses the value: it describes the
// control, and the control has moved.
void ApplyProfileRate(VoiceProfile& profile) {
    FirstError errors;
    errors.Run([&] { profile.SpVoice.SetRate(profile.TRate.Position()); });
    ShowPosition(profile.LRate, profile.TRate);
    errors.Raise();
}

void ApplyProfileVolume(VoiceProfile& profile) {
    FirstError errors;
    errors.Run([&] { profile.SpVoice.SetVolume(profile.TVolume.Position()); });
    ShowPosition(profile.LVolume, profile.TVolume);
    errors.Raise();
}

// Both controls go back to their defaults even when the engine refuses one value, so the
// page never shows half a reset; the first engine error is reported afterwards.
void ResetProfile(VoiceProfile& profile) {
    FirstError errors;
    ApplyStored(profile.TRate, profile.LRate, 0, [&](int v) { profile.SpVoice.SetRate(v); }, errors);
    ApplyStored(profile.TVolume, profile.LVolume, 100, [&](int v) { profile.SpVoice.SetVolume(v); }, errors);
    errors.Raise();
}
