// NMEA sentences into the process-wide GPS state, and the queries on it.
#pragma once

#include <cstdint>

#include "nmea/gps_state.h"

// Chooses the block by the first six characters, "$" + talker + type, and fills
// it by its field table: the types of kGpsBlocks from the GNSS talkers GP, GN,
// GL, GA, GB, BD, GQ, QZ and GI, the tag kept as received ("$GNGGA"). Any other
// text is kept as the latest unrecognised one. Called on the reader thread.
void ParseNmeaSentence(const char* text);

// The GNSS talkers whose sentences are understood: GP (GPS), GN (combined),
// GL (GLONASS), GA (Galileo), GB and BD (BeiDou), GQ and QZ (QZSS), GI (NavIC).
// The second letter is looked at only when the first matched.
bool IsGnssTalker(const char* talker);

// Keeps the text, cut to 261 characters, as exactly the latest unrecognised text.
void StoreOtherSentence(const char* text);

// Signed decimal degrees (south and west negative), 0.0 for both when there is
// no position. Once a GGA has come since the port was opened, the latest GGA's,
// none while its fix quality is '0'; before that the latest RMC's when its
// status is 'A' and its mode (where sent) is not 'N', else the latest GNS's
// when its mode holds a letter other than 'N'.
struct GpsPosition {
  double latitude = 0.0;
  double longitude = 0.0;
};
GpsPosition PositionOf(const GpsState& state, bool ggaCame);

// The position of the live state, as PositionOf gives it, and 1 when the
// latest RMC status is 'A'. Each destination is optional. The three are read
// together, never half-way through a sentence.
void GetGpsFix(double* latitude, double* longitude, uint8_t* valid);

// A port was opened: until a GGA comes from it, the position is RMC's or GNS's.
// ResetGpsState does the same.
void NoteGpsPortOpened();

// Satellites in view over all constellations, each from the latest GSV of its talker.
int SatellitesInView();

// Whether ParseNmeaSentence fills a block of the state with the text.
bool IsGpsSentence(const char* text);

// The state, its position and whether a GGA came since the port opened, read together.
struct GpsFixState {
  GpsState state;
  GpsPosition position;
  bool ggaCame = false;
};
GpsFixState CopyGpsFixState();

// The whole state as one consistent copy, for diagnostics.
GpsState CopyGpsState();
// Back to the all-zero state of process start; for tests and tools.
void ResetGpsState();
