// Whose messages a voice profile speaks: the user's own or their friends'. The stored voice
// settings, the options page's profile blocks and the watcher all count profiles by this.
#pragma once

enum ProfileId : int { kOwnProfile, kFriendProfile, kProfileCount };
