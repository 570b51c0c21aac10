// Turns the GPS state into the reason a wait for a position goes on.
#include "locator/wait_detail.h"

#include "nmea/parser.h"

namespace {

bool Came(const char (&tag)[6]) { return tag[0] != '\0'; }

bool AnythingUnderstood(const GpsState& s) {
  return Came(s.gga.tag) || Came(s.gll.tag) || Came(s.gsa.tag) || Came(s.gsv.tag) ||
         Came(s.rmc.tag) || Came(s.vtg.tag) || Came(s.zda.tag) || Came(s.gns.tag) ||
         Came(s.gst.tag);
}

std::u16string SatellitesText(int count) {
  std::u16string text;
  for (char c : std::to_string(count)) text += char16_t(c);
  return text + (count == 1 ? u" satellite in view" : u" satellites in view");
}

}  // namespace

std::u16string DescribeGpsWait(const GpsState& state, int satellitesInView,
                               const std::u16string& where) {
  if (!AnythingUnderstood(state)) {
    if (state.other.text[0]) return u"data, but no NMEA sentence Quarvel reads";
    return where.empty() ? u"no data from the port yet" : where + u", no sentence yet";
  }
  // The position comes from GGA alone: a receiver with a fix that sends no GGA
  // never ends the wait, and says so through its RMC.
  const bool fixWithoutGga = state.rmc.status == 'A' && !Came(state.gga.tag);
  const char16_t* fix = fixWithoutGga ? u"a fix, but no GGA position" : u"no fix yet";
  if (!Came(state.gsv.tag)) return fix;
  return SatellitesText(satellitesInView) + u", " + fix;
}

std::u16string GpsWaitDetail(const std::u16string& where) {
  return DescribeGpsWait(CopyGpsState(), SatellitesInView(), where);
}
