// The two voice profiles (own messages, friends' messages): each is a voice object with a
// voice list, a rate and a volume control and their value labels. These routines keep the
// engine object in step with the controls and speak with a profile.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "base/profiles.h"
#include "speech/engine.h"
#include "ui/components.h"

// One profile's components, by the form designer's names: the friends' profile's are the same
// names with "1" at the end (CBVoice1, TRate1), and its reset button is BtnDefault2.
struct VoiceProfile {
    explicit VoiceProfile(ISpeechEngine& engine) : SpVoice(engine) {}
    VoiceProfile(const VoiceProfile&) = delete;
    VoiceProfile& operator=(const VoiceProfile&) = delete;
    TSpVoice SpVoice;
    TComboBox CBVoice{"CBVoice"};
    TTrackBar TRate{-10, 10, 0};
    TLabel LRate{"0"};
    TTrackBar TVolume{0, 100, 80};
    TLabel LVolume{"80"};
    TButton BtnDefault;
    // Told the name of a voice the first time speaking with it fails.
    std::function<void(const std::string& voiceName)> onVoiceFailed = {};
};

// One profile per ProfileId, each speaking through the engine.
using VoiceProfiles = std::array<VoiceProfile, kProfileCount>;
VoiceProfiles MakeVoiceProfiles(ISpeechEngine& engine);

// What set.ini keeps of one profile. Engine -1: nothing selected. EngineName, the name of the
// voice at Engine, keeps the choice when a voice is installed or removed; missing: not written.
struct StoredVoice {
    int Engine = -1;
    std::optional<std::string> EngineName;
    int Rate = 0;
    int Volume = 100;
};

// Fills every profile's list from the own profile's voice object and applies the stored (or
// default) settings. A stored voice name that a list holds selects that voice; otherwise the
// stored index does. A voice whose name cannot be read is left out; whole (when given) then
// tells false, as it does when the engine left voices out or gave no list, so the lists'
// positions are not the engine's.
void InitVoiceProfiles(VoiceProfiles& profiles, const StoredVoice (&stored)[kProfileCount], bool* whole = nullptr);

// Replaces the profile's voice object and speaks the text with the controls' settings.
// Swallows every error: a message that cannot be spoken is simply not spoken. A selected
// voice that cannot be created or refuses to speak is named once (onVoiceFailed), and the
// next voice in the list that speaks takes over: the list selects it, so it is the one
// stored, and the failed voice is passed over for the rest of the session unless chosen again.
void SpeakWithProfile(VoiceProfile& profile, const std::string& ansiText);

// Silences the profile; errors are ignored.
void StopSpeaking(VoiceProfile& profile);

// Change handlers and the reset button. Engine errors propagate to the caller.
void ApplyProfileVoice(VoiceProfile& profile);   // voice list changed
void ApplyProfileRate(VoiceProfile& profile);    // rate control changed
void ApplyProfileVolume(VoiceProfile& profile);  // volume control changed
void ResetProfile(VoiceProfile& profile);        // rate 0, volume 100, voice kept
