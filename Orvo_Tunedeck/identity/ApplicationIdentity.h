#pragma once

// Names the application is known by: its bundle identifier (the domain of its own settings store, the base of its
// MIDI client and port names) and the maker's reverse domain name.
inline constexpr const char* kApplicationBundleIdentifier = "org.orvo.Orvo-Tunedeck2";
inline constexpr const char* kMakerDomain = "org.orvo";
