#pragma once

#include <AL/al.h>

// Values shared across the sound engine.

constexpr float kZA_PitchDefault = 1.0f;
constexpr float kZA_PitchLowerOneOctave = 0.5f;
constexpr float kZA_PitchHigherOneOctave = 2.0f;
constexpr float kZA_PanDefault = 0.0f;
constexpr float kZA_PanFullLeft = -1.0f;
constexpr float kZA_PanFullRight = 1.0f;
constexpr float kZA_GainDefault = 1.0f;

// Effect ids that name no source: nothing was played (file not loaded, engine disabled or without a
// device, group silenced), or no source was free (or OpenAL refused to play).
constexpr ALuint kZA_NothingPlayed = 0xFEEDBAB;
constexpr ALuint kZA_NoSourceAvailable = 0xFEEDFAC;

// Notification names.
inline constexpr char kZAN_AudioManagerInitialised[] = "kZAN_AudioManagerInitialised";
inline constexpr char kZAN_BadAlContext[] = "kZAN_BadAlContext";
inline constexpr char kZAN_AsynchLoadComplete[] = "kZAN_AsynchLoadComplete";

// Audio session categories; on the desktop they only name the mode.
inline constexpr char AVAudioSessionCategoryAmbient[] = "AVAudioSessionCategoryAmbient";
inline constexpr char AVAudioSessionCategorySoloAmbient[] = "AVAudioSessionCategorySoloAmbient";
inline constexpr char AVAudioSessionCategoryPlayback[] = "AVAudioSessionCategoryPlayback";
inline constexpr char AVAudioSessionCategoryRecord[] = "AVAudioSessionCategoryRecord";
inline constexpr char AVAudioSessionCategoryPlayAndRecord[] = "AVAudioSessionCategoryPlayAndRecord";
inline constexpr char AVAudioSessionCategoryAudioProcessing[] = "AVAudioSessionCategoryAudioProcessing";

// Application notifications the audio manager can be asked to follow.
inline constexpr char UIApplicationWillResignActiveNotification[] =
    "UIApplicationWillResignActiveNotification";
inline constexpr char UIApplicationDidBecomeActiveNotification[] = "UIApplicationDidBecomeActiveNotification";
inline constexpr char UIApplicationWillTerminateNotification[] = "UIApplicationWillTerminateNotification";
