// Every GpsState field under its own name, blocks in the order they lie in the state.
#include "tools/gps_state_json.h"

#include <cstring>
#include <string_view>

namespace {

// Fixed-size text up to its first NUL.
template <std::size_t N>
std::string_view Text(const char (&text)[N]) {
  return std::string_view(text, strnlen(text, N));
}

void WriteGga(JsonWriter& j, const GgaBlock& b) {
  j.Key("gga");
  j.BeginObject();
  j.Key("tag"), j.String(Text(b.tag));
  j.Key("hour"), j.Int(b.hour);
  j.Key("minute"), j.Int(b.minute);
  j.Key("second"), j.Int(b.second);
  j.Key("latitude"), j.Double(b.latitude);
  j.Key("latHemisphere"), j.Char(b.latHemisphere);
  j.Key("longitude"), j.Double(b.longitude);
  j.Key("lonHemisphere"), j.Char(b.lonHemisphere);
  j.Key("quality"), j.Char(b.quality);
  j.Key("satellites"), j.Int(b.satellites);
  j.Key("hdop"), j.Float(b.hdop);
  j.Key("altitude"), j.Int(b.altitude);
  j.Key("altitudeUnit"), j.Char(b.altitudeUnit);
  j.Key("geoidSeparation"), j.Float(b.geoidSeparation);
  j.Key("geoidUnit"), j.Char(b.geoidUnit);
  j.Key("dgpsAge"), j.Float(b.dgpsAge);
  j.Key("dgpsStation"), j.Int(b.dgpsStation);
  j.EndObject();
}

void WriteGll(JsonWriter& j, const GllBlock& b) {
  j.Key("gll");
  j.BeginObject();
  j.Key("tag"), j.String(Text(b.tag));
  j.Key("latitude"), j.Double(b.latitude);
  j.Key("latHemisphere"), j.Char(b.latHemisphere);
  j.Key("longitude"), j.Double(b.longitude);
  j.Key("lonHemisphere"), j.Char(b.lonHemisphere);
  j.Key("hour"), j.Int(b.hour);
  j.Key("minute"), j.Int(b.minute);
  j.Key("second"), j.Int(b.second);
  j.Key("status"), j.Char(b.status);
  j.EndObject();
}

void WriteGsa(JsonWriter& j, const GsaBlock& b) {
  j.Key("gsa");
  j.BeginObject();
  j.Key("tag"), j.String(Text(b.tag));
  j.Key("mode"), j.Char(b.mode);
  j.Key("fixType"), j.Char(b.fixType);
  j.Key("satelliteIds");
  j.BeginArray();
  for (const uint8_t id : b.satelliteIds) j.Int(id);
  j.EndArray();
  j.Key("pdop"), j.Float(b.pdop);
  j.Key("hdop"), j.Float(b.hdop);
  j.Key("vdop"), j.Float(b.vdop);
  j.EndObject();
}

void WriteGsv(JsonWriter& j, const GsvBlock& b) {
  j.Key("gsv");
  j.BeginObject();
  j.Key("tag"), j.String(Text(b.tag));
  j.Key("messageNumber"), j.Char(b.messageNumber);
  j.Key("messageCount"), j.Char(b.messageCount);
  j.Key("satellitesInView"), j.Int(b.satellitesInView);
  j.Key("satellites");
  j.BeginArray();
  for (const GsvSatellite& s : b.satellites) {
    j.BeginObject();
    j.Key("prn"), j.Int(s.prn);
    j.Key("elevation"), j.Int(s.elevation);
    j.Key("azimuth"), j.Int(s.azimuth);
    j.Key("snr"), j.Int(s.snr);
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
}

void WriteRmc(JsonWriter& j, const RmcBlock& b) {
  j.Key("rmc");
  j.BeginObject();
  j.Key("tag"), j.String(Text(b.tag));
  j.Key("hour"), j.Int(b.hour);
  j.Key("minute"), j.Int(b.minute);
  j.Key("second"), j.Int(b.second);
  j.Key("status"), j.Char(b.status);
  j.Key("latitude"), j.Double(b.latitude);
  j.Key("latHemisphere"), j.Char(b.latHemisphere);
  j.Key("longitude"), j.Double(b.longitude);
  j.Key("lonHemisphere"), j.Char(b.lonHemisphere);
  j.Key("speed"), j.Float(b.speed);
  j.Key("course"), j.Float(b.course);
  j.Key("day"), j.Int(b.day);
  j.Key("month"), j.Int(b.month);
  j.Key("year"), j.Int(b.year);
  j.Key("magneticVariation"), j.Float(b.magneticVariation);
  j.Key("variationDirection"), j.Char(b.variationDirection);
  j.EndObject();
}

void WriteVtg(JsonWriter& j, const VtgBlock& b) {
  j.Key("vtg");
  j.BeginObject();
  j.Key("tag"), j.String(Text(b.tag));
  j.Key("values");
  j.BeginArray();
  for (const float value : b.values) j.Float(value);
  j.EndArray();
  j.EndObject();
}

void WriteZda(JsonWriter& j, const ZdaBlock& b) {
  j.Key("zda");
  j.BeginObject();
  j.Key("tag"), j.String(Text(b.tag));
  j.Key("hour"), j.Int(b.hour);
  j.Key("minute"), j.Int(b.minute);
  j.Key("second"), j.Int(b.second);
  j.Key("day"), j.Int(b.day);
  j.Key("month"), j.Int(b.month);
  j.Key("year"), j.Int(b.year);
  j.Key("zoneHours"), j.Int(b.zoneHours);
  j.Key("zoneMinutes"), j.Int(b.zoneMinutes);
  j.EndObject();
}

}  // namespace

void WriteStateLine(JsonWriter& j, const GpsState& state, const GpsFixAnswer& fix) {
  j.BeginObject();
  j.Key("state");
  j.BeginObject();
  WriteGga(j, state.gga);
  WriteGll(j, state.gll);
  WriteGsa(j, state.gsa);
  WriteGsv(j, state.gsv);
  WriteRmc(j, state.rmc);
  WriteVtg(j, state.vtg);
  WriteZda(j, state.zda);
  j.Key("other");
  j.BeginObject();
  j.Key("text"), j.String(Text(state.other.text));
  j.EndObject();
  j.EndObject();
  j.Key("fix");
  j.BeginObject();
  j.Key("latitude"), j.Double(fix.latitude);
  j.Key("longitude"), j.Double(fix.longitude);
  j.Key("valid"), j.Int(fix.valid);
  j.EndObject();
  j.EndObject();
}
