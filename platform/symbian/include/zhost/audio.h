// The host's audio output, as tests and tools see it.
//
// All audio player utilities mix into one SDL2 output device (signed 16-bit stereo),
// opened when the first utility opens a clip and closed when the last one goes. With
// the virtual clock (tests) or when no device can be opened, SDL's silent "dummy"
// driver is used; if even that fails, clips are still timed and completed, unheard.
#ifndef ZHOST_AUDIO_H
#define ZHOST_AUDIO_H

#include <e32std.h>

namespace ZHost::Audio {

// The largest volume of a utility (CMdaAudioPlayerUtility::MaxVolume).
const TInt KMaxVolume = 255;
// The output's rate, to which clips are converted.
const TInt KOutputRate = 44100;

// Clips now playing (mixed into the output), and the volume of the one most recently
// started (-1 if none plays).
IMPORT_C TInt PlayingCount();
IMPORT_C TInt LastStartedVolume();
// The SDL audio driver in use ("dummy" for the silent one), or "" when there is no
// output device at all.
IMPORT_C const char* DriverName();
// Ends every playing clip at once with aError, as the output would (for example
// KErrUnderflow when it runs dry); each utility's observer gets MapcPlayComplete
// through the scheduler.
IMPORT_C void CompletePlaying(TInt aError);

}  // namespace ZHost::Audio

#endif
