// Placeholder until the voice profiles land.
#include "speech/voice_profiles.h"
void InitVoiceProfiles(VoiceProfile&, VoiceProfile&, int, int, int, int, int, int) {}
void SpeakWithProfile(VoiceProfile&, const std::string&) {}
void StopSpeaking(VoiceProfile&, VoiceProfile&) {}
void ApplyProfileVoice(VoiceProfile&) {}
void ApplyProfileRate(VoiceProfile&) {}
void ApplyProfileVolume(VoiceProfile&) {}
void ResetProfile(VoiceProfile&) {}
