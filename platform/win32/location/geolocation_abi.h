// The few Windows.Devices.Geolocation interfaces Quarvel calls, through the WinRT ABI,
// declared from Microsoft's published metadata (mingw-w64 ships no header for them):
// vtable order and IIDs as in the Windows SDK's windows.devices.geolocation.h.
#pragma once

#include <windows.h>

#include <asyncinfo.h>
#include <inspectable.h>

#include <cstdint>

namespace geolocation {

inline constexpr wchar_t kGeolocatorClass[] = L"Windows.Devices.Geolocation.Geolocator";

enum class PositionAccuracy : int32_t { Default = 0, High = 1 };
enum class PositionStatus : int32_t {
  Ready = 0,
  Initializing = 1,
  NoData = 2,
  Disabled = 3,
  NotInitialized = 4,
  NotAvailable = 5
};
enum class PositionSource : int32_t {
  Cellular = 0,
  Satellite = 1,
  WiFi = 2,
  IPAddress = 3,
  Unknown = 4,
  Default = 5,
  Obfuscated = 6
};
enum class GeolocationAccessStatus : int32_t { Unspecified = 0, Allowed = 1, Denied = 2 };

struct DateTime {  // Windows.Foundation.DateTime: 100 ns ticks since 1601-01-01 UTC
  int64_t universalTime;
};
struct TimeSpan {  // Windows.Foundation.TimeSpan: 100 ns ticks
  int64_t duration;
};
struct EventToken {
  int64_t value;
};
struct BasicGeoposition {
  double latitude;
  double longitude;
  double altitude;
};

// {00000036-0000-0000-C000-000000000046}
inline constexpr IID kIidAsyncInfo = {
    0x00000036, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000035-0000-0000-C000-000000000046}
inline constexpr IID kIidActivationFactory = {
    0x00000035, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {A9C3BF62-4524-4989-8AA9-DE019D2E551F}
inline constexpr IID kIidGeolocator = {
    0xa9c3bf62, 0x4524, 0x4989, {0x8a, 0xa9, 0xde, 0x01, 0x9d, 0x2e, 0x55, 0x1f}};
// {9A8E7571-2DF5-4591-9F87-EB5FD894E9B7}
inline constexpr IID kIidGeolocatorStatics = {
    0x9a8e7571, 0x2df5, 0x4591, {0x9f, 0x87, 0xeb, 0x5f, 0xd8, 0x94, 0xe9, 0xb7}};
// {C18D0454-7D41-4FF7-A957-9DFFB4EF7F5B}
inline constexpr IID kIidGeoposition = {
    0xc18d0454, 0x7d41, 0x4ff7, {0xa9, 0x57, 0x9d, 0xff, 0xb4, 0xef, 0x7f, 0x5b}};
// {EE21A3AA-976A-4C70-803D-083EA55BCBC4}
inline constexpr IID kIidGeocoordinate = {
    0xee21a3aa, 0x976a, 0x4c70, {0x80, 0x3d, 0x08, 0x3e, 0xa5, 0x5b, 0xcb, 0xc4}};
// {FEEA0525-D22C-4D46-B527-0B96066FC7DB}
inline constexpr IID kIidGeocoordinateWithPoint = {
    0xfeea0525, 0xd22c, 0x4d46, {0xb5, 0x27, 0x0b, 0x96, 0x06, 0x6f, 0xc7, 0xdb}};
// {95E634BE-DBD6-40AC-B8F2-A65C0340D9A6}
inline constexpr IID kIidGeocoordinateWithPositionData = {
    0x95e634be, 0xdbd6, 0x40ac, {0xb8, 0xf2, 0xa6, 0x5c, 0x03, 0x40, 0xd9, 0xa6}};
// {C32A74D9-2608-474C-912C-06DD490F4AF7}
inline constexpr IID kIidGeocoordinateSatelliteData = {
    0xc32a74d9, 0x2608, 0x474c, {0x91, 0x2c, 0x06, 0xdd, 0x49, 0x0f, 0x4a, 0xf7}};
// {6BFA00EB-E56E-49BB-9CAF-CBAA78A8BCEF}
inline constexpr IID kIidGeopoint = {
    0x6bfa00eb, 0xe56e, 0x49bb, {0x9c, 0xaf, 0xcb, 0xaa, 0x78, 0xa8, 0xbc, 0xef}};

// Windows.Foundation.IReference<double>: a value that may be absent (a null pointer).
struct IReferenceDouble : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
};

// Windows.Foundation.IAsyncOperation<T>; its status, error and Cancel come through
// IAsyncInfo (QueryInterface). Quarvel polls it and sets no completion handler.
template <class Result>
struct IAsyncOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(IUnknown* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(IUnknown** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(Result* results) = 0;
};

struct IGeopoint : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Position(BasicGeoposition* value) = 0;
};

struct IGeocoordinateSatelliteData : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_PositionDilutionOfPrecision(IReferenceDouble** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HorizontalDilutionOfPrecision(IReferenceDouble** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_VerticalDilutionOfPrecision(IReferenceDouble** value) = 0;
};

struct IGeocoordinate : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Latitude(double* value) = 0;   // deprecated: Point
  virtual HRESULT STDMETHODCALLTYPE get_Longitude(double* value) = 0;  // deprecated: Point
  virtual HRESULT STDMETHODCALLTYPE get_Altitude(IReferenceDouble** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Accuracy(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AltitudeAccuracy(IReferenceDouble** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Heading(IReferenceDouble** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Speed(IReferenceDouble** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Timestamp(DateTime* value) = 0;
};

struct IGeocoordinateWithPoint : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Point(IGeopoint** value) = 0;
};

struct IGeocoordinateWithPositionData : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_PositionSource(PositionSource* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SatelliteData(IGeocoordinateSatelliteData** value) = 0;
};

struct IGeoposition : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Coordinate(IGeocoordinate** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CivicAddress(IInspectable** value) = 0;
};

struct IGeolocator : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_DesiredAccuracy(PositionAccuracy* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DesiredAccuracy(PositionAccuracy value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MovementThreshold(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MovementThreshold(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ReportInterval(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ReportInterval(UINT32 value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LocationStatus(PositionStatus* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  GetGeopositionAsync(IAsyncOperation<IGeoposition*>** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetGeopositionAsyncWithAgeAndTimeout(
      TimeSpan maximumAge, TimeSpan timeout, IAsyncOperation<IGeoposition*>** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_PositionChanged(IUnknown* handler, EventToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_PositionChanged(EventToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_StatusChanged(IUnknown* handler, EventToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_StatusChanged(EventToken token) = 0;
};

struct IGeolocatorStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE
  RequestAccessAsync(IAsyncOperation<GeolocationAccessStatus>** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetGeopositionHistoryAsync(DateTime start,
                                                               IInspectable** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetGeopositionHistoryWithDurationAsync(
      DateTime start, TimeSpan duration, IInspectable** operation) = 0;
};

}  // namespace geolocation
