// A fix good enough: the gates a position passes before it is published, the
// accuracy of a fix, and the mean of the passing fixes over some seconds.
#pragma once

#include <string>

#include "nmea/gps_state.h"

// The gates of a run (--max-hdop, --min-satellites, --accuracy, --average); 0 is
// a gate not given. With none, the first position is published as it always was.
struct FixGates {
  double maxHdop = 0.0;
  int minSatellites = 0;
  double accuracy = 0.0;  // metres
  int averageSeconds = 0;

  bool Any() const {
    return maxHdop > 0.0 || minSatellites > 0 || accuracy > 0.0 || averageSeconds > 0;
  }
};

// The horizontal accuracy of the state's fix in metres: √(σlat² + σlon²) from GST
// once the receiver sent one with both errors (a location service's accuracy
// comes back so), else HDOP × 5 m; 0 when neither is known. For the formats that
// show an accuracy.
double FixAccuracy(const GpsState& state);

// What the gates judge of one fix. HDOP and satellites come from GGA, else GNS
// (HDOP else GSA's); 0 is not sent.
struct FixQuality {
  double hdop = 0.0;
  int satellites = 0;
  double accuracy = 0.0;  // FixAccuracy
  bool measured = false;  // the accuracy is GST's, not HDOP's
};
FixQuality QualityOf(const GpsState& state);

// Empty when the fix passes each gate given (--average aside), else what the
// first gate it fails waits for: "HDOP 25.0, waiting for 2.0".
std::u16string GateHolding(const FixGates& gates, const FixQuality& fix);

// "best: HDOP 0.9, 10 satellites", with ", accuracy 3.2 m" when GST measured it
// or --accuracy asked for it.
std::u16string DescribeBestFix(const FixGates& gates, const FixQuality& fix);

// The gates of the run about to start; forgets the fixes of an earlier one.
void SetFixGates(const FixGates& gates);
bool FixGatesGiven();

// After the parser took a sentence: a fix it brought (the sentence the position
// comes from, with a position) is judged by the gates and, with --average, added
// to the mean. Every fix counts, not only those a poll sees. Reader thread; does
// nothing when no gate is given.
void JudgeFixSentence(const char* text);

// The position to publish: the latest fix that passed, or with --average the
// mean of those that passed, once its seconds from the first are over.
bool GatedPosition(double& latitude, double& longitude);

// What the gates wait for ("HDOP 25.0, waiting for 2.0", "averaging 12 fixes, 3
// seconds left"); empty when no gate is given or no fix came yet.
std::u16string GateWaitDetail();

// The best fix seen in words (DescribeBestFix); empty when none came or no gate is given.
std::u16string BestFixSeen();
