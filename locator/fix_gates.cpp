// The gates on a fix, judged on the reader thread at each fix the receiver sends.
#include "locator/fix_gates.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "nmea/parser.h"

namespace {

// The usual rule of thumb where no error estimate is sent: a receiver's user
// range error of some 5 m, scaled by the geometry.
constexpr double kMetresPerHdop = 5.0;
// GST's errors come with three decimals: an accuracy sent as σ = a/√2 comes back
// within a millimetre of a, and still meets a gate of a.
constexpr double kAccuracySlack = 0.001;
// HDOP is read as a float: 1.1 must meet --max-hdop 1.1.
constexpr double kHdopSlack = 1e-6;

using Clock = std::chrono::steady_clock;

bool Came(const char (&tag)[6]) { return tag[0] != '\0'; }

std::u16string Ascii(const std::string& text) { return {text.begin(), text.end()}; }

std::string Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Count(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

double HdopOf(const GpsState& s) {
  double hdop = Came(s.gga.tag) ? s.gga.hdop : Came(s.gns.tag) ? s.gns.hdop : 0.0;
  if (hdop <= 0.0) hdop = s.gsa.hdop;
  return hdop > 0.0 ? hdop : 0.0;
}

bool GstMeasured(const GstBlock& gst) {
  return Came(gst.tag) && (gst.latitudeError > 0.0f || gst.longitudeError > 0.0f);
}

// Each gate: empty when the fix meets it (or it is not given), else what it waits for.
std::string HdopHolds(const FixGates& gates, const FixQuality& fix) {
  if (gates.maxHdop <= 0.0 || (fix.hdop > 0.0 && fix.hdop <= gates.maxHdop + kHdopSlack)) return {};
  return (fix.hdop > 0.0 ? "HDOP " + Decimal(fix.hdop) : std::string("no HDOP sent")) +
         ", waiting for " + Decimal(gates.maxHdop);
}

std::string SatellitesHold(const FixGates& gates, const FixQuality& fix) {
  if (gates.minSatellites <= 0 || fix.satellites >= gates.minSatellites) return {};
  return Count(fix.satellites, "satellite", "satellites") + ", waiting for " +
         std::to_string(gates.minSatellites);
}

std::string AccuracyHolds(const FixGates& gates, const FixQuality& fix) {
  if (gates.accuracy <= 0.0 ||
      (fix.accuracy > 0.0 && fix.accuracy <= gates.accuracy + kAccuracySlack))
    return {};
  return (fix.accuracy > 0.0 ? "accuracy " + Decimal(fix.accuracy) + " m"
                             : std::string("accuracy unknown")) +
         ", waiting for " + Decimal(gates.accuracy) + " m";
}

int GatesMet(const FixGates& gates, const FixQuality& fix) {
  return int(HdopHolds(gates, fix).empty()) + int(SatellitesHold(gates, fix).empty()) +
         int(AccuracyHolds(gates, fix).empty());
}

// More gates met, then the smaller known accuracy, then more satellites.
bool Better(const FixGates& gates, const FixQuality& a, const FixQuality& b) {
  const int metA = GatesMet(gates, a), metB = GatesMet(gates, b);
  if (metA != metB) return metA > metB;
  const double accuracyA = a.accuracy > 0.0 ? a.accuracy : HUGE_VAL;
  const double accuracyB = b.accuracy > 0.0 ? b.accuracy : HUGE_VAL;
  if (accuracyA != accuracyB) return accuracyA < accuracyB;
  return a.satellites > b.satellites;
}

// Whether the sentence just parsed brought a fix: its type is the one the
// position comes from (GGA once one came, else a valid RMC, else GNS), so a
// receiver's epoch counts once however many sentences it sends.
bool BringsFix(const char* text, const GpsFixState& fix) {
  if (fix.position.latitude == 0.0 || fix.position.longitude == 0.0) return false;
  const char* type = text + 3;
  if (std::strncmp(type, "GGA", 3) == 0) return true;
  if (fix.ggaCame) return false;
  const bool rmcValid = fix.state.rmc.status == 'A' && fix.state.rmc.mode != 'N';
  if (std::strncmp(type, "RMC", 3) == 0) return rmcValid;
  return std::strncmp(type, "GNS", 3) == 0 && !rmcValid;
}

// The run's fixes as the gates saw them.
struct Judge {
  std::mutex mutex;
  FixGates gates;
  bool anyFix = false;
  std::u16string holding;  // what the latest fix failed
  FixQuality best;
  bool ready = false;  // a position to publish
  GpsPosition published;
  // The passing fixes of --average: longitudes as offsets from the first, so a
  // mean across the antimeridian stays beside it.
  int count = 0;
  Clock::time_point start;
  double firstLongitude = 0.0;
  double latitudeSum = 0.0;
  double offsetSum = 0.0;

  void Add(const GpsPosition& p, Clock::time_point now);
  void EndAverageBy(Clock::time_point now);
};

std::atomic<bool> gGiven{false};

Judge& TheJudge() {
  static Judge* judge = new Judge;  // the reader may still run while the process ends
  return *judge;
}

void Judge::Add(const GpsPosition& p, Clock::time_point now) {
  if (gates.averageSeconds <= 0) {
    ready = true;
    published = p;
    return;
  }
  EndAverageBy(now);
  if (ready) return;
  if (count == 0) start = now, firstLongitude = p.longitude;
  double offset = p.longitude - firstLongitude;
  offset -= 360.0 * std::round(offset / 360.0);
  ++count;
  latitudeSum += p.latitude;
  offsetSum += offset;
}

void Judge::EndAverageBy(Clock::time_point now) {
  if (ready || count == 0 || now - start < std::chrono::seconds(gates.averageSeconds)) return;
  double longitude = firstLongitude + offsetSum / count;
  longitude -= 360.0 * std::round(longitude / 360.0);
  ready = true;
  published = {latitudeSum / count, longitude};
}

}  // namespace

double FixAccuracy(const GpsState& state) {
  if (GstMeasured(state.gst)) {
    return std::hypot(double(state.gst.latitudeError), double(state.gst.longitudeError));
  }
  return HdopOf(state) * kMetresPerHdop;
}

FixQuality QualityOf(const GpsState& state) {
  FixQuality fix;
  fix.hdop = HdopOf(state);
  fix.satellites = Came(state.gga.tag) ? state.gga.satellites : state.gns.satellites;
  fix.accuracy = FixAccuracy(state);
  fix.measured = GstMeasured(state.gst);
  return fix;
}

std::u16string GateHolding(const FixGates& gates, const FixQuality& fix) {
  for (const std::string& holds :
       {HdopHolds(gates, fix), SatellitesHold(gates, fix), AccuracyHolds(gates, fix)}) {
    if (!holds.empty()) return Ascii(holds);
  }
  return {};
}

std::u16string DescribeBestFix(const FixGates& gates, const FixQuality& fix) {
  std::string text;
  if (fix.hdop > 0.0) text += ", HDOP " + Decimal(fix.hdop);
  if (fix.satellites > 0) text += ", " + Count(fix.satellites, "satellite", "satellites");
  if (fix.accuracy > 0.0 && (fix.measured || gates.accuracy > 0.0)) {
    text += ", accuracy " + Decimal(fix.accuracy) + " m";
  }
  return Ascii("best:" +
               (text.empty() ? std::string(" a fix without HDOP or satellites") : text.substr(1)));
}

void SetFixGates(const FixGates& gates) {
  Judge& judge = TheJudge();
  const std::lock_guard lock(judge.mutex);
  judge.gates = gates;
  judge.anyFix = judge.ready = false;
  judge.holding.clear();
  judge.count = 0;
  judge.latitudeSum = judge.offsetSum = 0.0;
  gGiven = gates.Any();
}

bool FixGatesGiven() { return gGiven; }

void JudgeFixSentence(const char* text) {
  if (!gGiven.load(std::memory_order_relaxed) || !IsGpsSentence(text)) return;
  const GpsFixState fix = CopyGpsFixState();
  if (!BringsFix(text, fix)) return;
  const FixQuality quality = QualityOf(fix.state);
  Judge& judge = TheJudge();
  const std::lock_guard lock(judge.mutex);
  if (!judge.anyFix || Better(judge.gates, quality, judge.best)) judge.best = quality;
  judge.anyFix = true;
  judge.holding = GateHolding(judge.gates, quality);
  if (judge.holding.empty()) judge.Add(fix.position, Clock::now());
}

bool GatedPosition(double& latitude, double& longitude) {
  Judge& judge = TheJudge();
  const std::lock_guard lock(judge.mutex);
  // An average ends with its seconds, also when no fix comes after them.
  judge.EndAverageBy(Clock::now());
  if (!judge.ready) return false;
  latitude = judge.published.latitude;
  longitude = judge.published.longitude;
  return true;
}

std::u16string GateWaitDetail() {
  if (!gGiven) return {};
  Judge& judge = TheJudge();
  const std::lock_guard lock(judge.mutex);
  if (judge.count > 0 && !judge.ready) {
    const auto left =
        std::chrono::seconds(judge.gates.averageSeconds) - (Clock::now() - judge.start);
    const int seconds = std::max(0, int(std::chrono::ceil<std::chrono::seconds>(left).count()));
    return Ascii("averaging " + Count(judge.count, "fix", "fixes") + ", " +
                 Count(seconds, "second", "seconds") + " left");
  }
  return judge.holding;
}

std::u16string BestFixSeen() {
  if (!gGiven) return {};
  Judge& judge = TheJudge();
  const std::lock_guard lock(judge.mutex);
  return judge.anyFix ? DescribeBestFix(judge.gates, judge.best) : std::u16string();
}
