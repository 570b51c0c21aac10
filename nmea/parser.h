// NMEA sentences into the process-wide GPS state, and the queries on it.
#pragma once

#include <cstdint>

#include "nmea/gps_state.h"

// Chooses the block by the first six characters, "$" + talker + type, and fills
// it by its field table: the types of kGpsBlocks from the GNSS talkers GP, GN,
// GL, GA, GB, BD, GQ, QZ and GI, the tag kept as received ("$GNGGA"). Any other
// text is kept as the latest unrecognised one. Called on the reader thread.
void ParseNmeaSentence(const char* text);

// Keeps the text, cut to 261 characters, as exactly the latest unrecognised text.
void StoreOtherSentence(const char* text);

// Signed decimal degrees (south and west negative) from the latest GGA, 0.0
// for both when its fix quality is '0', and 1 when the latest RMC status is 'A'.
// Each destination is optional. The three are read together, never half-way
// through a sentence.
void GetGpsFix(double* latitude, double* longitude, uint8_t* valid);

// Satellites in view over all constellations, each from the latest GSV of its talker.
int SatellitesInView();

// The whole state as one consistent copy, for diagnostics.
GpsState CopyGpsState();
// Back to the all-zero state of process start; for tests and tools.
void ResetGpsState();
