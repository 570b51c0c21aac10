// The location service on Linux: not read by this build yet (GeoClue2 is the service to
// read), so "location:" fails as a missing port does, saying so.
#include "platform/location.h"

LocationService* OpenLocationService(std::u16string* why) {
  if (why) *why = u"this build of quarvel reads no location service (GeoClue) yet";
  return nullptr;
}

LocationRead ReadLocationService(LocationService*, LocationFix&, std::u16string*) {
  return LocationRead::Failed;
}

void WakeLocationService(LocationService*) {}

void CloseLocationService(LocationService*) {}
