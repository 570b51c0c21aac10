// The found fix as the position formats take it: the position and the GPS state's
// words around it, with the fields whose decimals the state's blocks drop kept as sent.
#pragma once

#include <string>
#include <string_view>

#include "locator/position_formats.h"
#include "nmea/gps_state.h"

// Fields kept as the receiver sent them, since their blocks hold whole numbers.
enum class SentField { GgaAltitude, RmcTime, ZdaTime, Count };

// Keeps the fields of kKeptFields from a sentence of a GNSS talker; any thread.
void KeepSentFields(const char* sentence);
// Forgets them, as a port opening starts the state afresh.
void ForgetSentFields();
// The text of the field in the latest sentence of its type, "" before one came.
std::string SentFieldText(SentField field);

// What RecordOfFix reads besides the state.
struct SentTexts {
  std::string_view ggaAltitude;  // "545.40"
  std::string_view rmcTime;      // "123519.25"
  std::string_view zdaTime;
};
SentTexts LatestSentTexts(std::string (&storage)[int(SentField::Count)]);

// The record of the fix at latitude, longitude: once a GGA came, its quality,
// satellites, HDOP and altitude (from its text, with its decimals), else a GNS's
// satellites and HDOP; the time from RMC's date (20yy) and time, else ZDA's, the
// seconds' decimals from the text; the accuracy GST measured, if any; source is the
// port text.
PositionRecord RecordOfFix(double latitude, double longitude, const GpsState& state,
                           const SentTexts& texts, std::u16string_view source);
