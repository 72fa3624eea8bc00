#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace vantor::platform {

// Playback flags, bit for bit as the system sound call takes them.
enum SoundFlag : unsigned {
  sndSync = 0x00,
  sndAsync = 0x01,
  sndNoDefault = 0x02, // silent instead of the default sound when the wave is missing
  sndMemory = 0x04,    // the request carries a wave image, not a file name
  sndLoop = 0x08,      // with sndAsync: repeat until the next sound or stopSound()
  sndNoStop = 0x10,    // do not cut a sound that is still playing; skip this one
};

struct SoundRequest {
  QString fileName; // a wave file, unless sndMemory
  QByteArray image; // the wave image with sndMemory
  unsigned flags = sndAsync;
};

// Plays a wave file or image through the first wave player found on the
// system path; stays silent when there is none. Returns whether a sound
// started. A missing wave never throws; a synchronous sound waits at most a
// few seconds for its player.
bool playSound(const SoundRequest &request);

// Ends a sound still playing (a looping one too).
void stopSound();

// The wave image of a sound embedded in the program: the resource
// ":/<type>/<name>", or ":/<name>" when the type is empty.
std::optional<QByteArray> embeddedSound(const QString &name, const QString &type);

// Replaces the system player (tests listen here); an empty function restores it.
using SoundService = std::function<bool(const SoundRequest &)>;
void setSoundService(SoundService service);

} // namespace vantor::platform
