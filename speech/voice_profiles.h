// The two voice profiles (own messages, friends' messages): each is a voice object with a
// voice list, a rate and a volume control and their value labels. These routines keep the
// engine object in step with the controls and speak with a profile.
#pragma once

#include <functional>
#include <string>

#include "speech/engine.h"
#include "ui/components.h"

struct VoiceProfile {
    TSpVoice& voice;
    TComboBox& list;
    TTrackBar& rate;
    TLabel& rateLabel;
    TTrackBar& volume;
    TLabel& volumeLabel;
    // Told the name of a voice the first time speaking with it fails.
    std::function<void(const std::string& voiceName)> onVoiceFailed = {};
};

// Fills both lists from the own profile's voice object and applies the stored (or default)
// settings: engine index -1 and rate 0, volume 100 when nothing is stored. A stored voice
// name ("" for none) that a list holds selects that voice; otherwise the stored index does.
// A voice whose name cannot be read is left out; whole (when given) then tells false, as it
// does when the engine left voices out or gave no list, so the lists' positions are not the
// engine's.
void InitVoiceProfiles(VoiceProfile& own, VoiceProfile& friends, int engine, int engine1,
                       int rate, int rate1, int volume, int volume1,
                       const std::string& name = {}, const std::string& name1 = {}, bool* whole = nullptr);

// Replaces the profile's voice object and speaks the text with the controls' settings.
// Swallows every error: a message that cannot be spoken is simply not spoken. A selected
// voice that cannot be created or refuses to speak is named once (onVoiceFailed), and the
// next voice in the list that speaks takes over: the list selects it, so it is the one
// stored, and the failed voice is passed over for the rest of the session unless chosen again.
void SpeakWithProfile(VoiceProfile& profile, const std::string& ansiText);

// Silences the profile, or both; errors are ignored.
void StopSpeaking(VoiceProfile& profile);
void StopSpeaking(VoiceProfile& own, VoiceProfile& friends);

// Change handlers and the reset button. Engine errors propagate to the caller.
void ApplyProfileVoice(VoiceProfile& profile);   // voice list changed
void ApplyProfileRate(VoiceProfile& profile);    // rate control changed
void ApplyProfileVolume(VoiceProfile& profile);  // volume control changed
void ResetProfile(VoiceProfile& profile);        // rate 0, volume 100, voice kept
