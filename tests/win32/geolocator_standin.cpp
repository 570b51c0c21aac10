// A stand-in for Windows.Devices.Geolocation.Geolocator, which Wine lacks: a runtime
// class DLL that combase's RoActivateInstance loads through the class's registry key
// (ActivatableClassId\...\DllPath). QUARVEL_STANDIN_GEOLOCATOR picks what it answers:
//   fixes    access allowed; a Wi-Fi fix (±350 m), then satellite fixes (±4.2 m)
//   denied   access denied, the location status Disabled
//   timeout  access allowed; every position request ends with ERROR_TIMEOUT
// QUARVEL_STANDIN_LOG names a file that gets one line per call the client makes.
#include <windows.h>

#include <activation.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <type_traits>

#include "platform/win32/location/geolocation_abi.h"

using namespace geolocation;
using Clock = std::chrono::steady_clock;

namespace {

// {00000000-0000-0000-C000-000000000046}
constexpr IID kIidUnknown = {0, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
// {AF86E2E0-B12D-4C6A-9C5A-D7AA65101E90}
constexpr IID kIidInspectable = {
    0xaf86e2e0, 0xb12d, 0x4c6a, {0x9c, 0x5a, 0xd7, 0xaa, 0x65, 0x10, 0x1e, 0x90}};
constexpr HRESULT kIllegalMethodCall = HRESULT(0x8000000E);  // E_ILLEGAL_METHOD_CALL

std::string Mode() {
  const char* mode = std::getenv("QUARVEL_STANDIN_GEOLOCATOR");
  return mode ? mode : "fixes";
}

void Log(const std::string& line) {
  const char* path = std::getenv("QUARVEL_STANDIN_LOG");
  if (!path) return;
  if (std::FILE* file = std::fopen(path, "a")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

// IUnknown and IInspectable once for every interface an object implements.
template <class... Interfaces>
class Object : public Interfaces... {
 public:
  virtual ~Object() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid == kIidUnknown || iid == kIidInspectable) {
      *object = static_cast<IInspectable*>(static_cast<First*>(this));
    } else {
      (Offer<Interfaces>(iid, object) || ...);
    }
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
    *count = 0;
    *iids = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* name) override {
    *name = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* level) override {
    *level = BaseTrust;
    return S_OK;
  }

 private:
  using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;
  template <class Interface>
  bool Offer(REFIID iid, void** object) {
    if (iid != Iid(static_cast<Interface*>(nullptr))) return false;
    *object = static_cast<Interface*>(this);
    return true;
  }
  static const IID& Iid(IActivationFactory*) { return kIidActivationFactory; }
  static const IID& Iid(IGeolocatorStatics*) { return kIidGeolocatorStatics; }
  static const IID& Iid(IGeolocator*) { return kIidGeolocator; }
  static const IID& Iid(IGeoposition*) { return kIidGeoposition; }
  static const IID& Iid(IGeocoordinate*) { return kIidGeocoordinate; }
  static const IID& Iid(IGeocoordinateWithPoint*) { return kIidGeocoordinateWithPoint; }
  static const IID& Iid(IGeocoordinateWithPositionData*) {
    return kIidGeocoordinateWithPositionData;
  }
  static const IID& Iid(IGeocoordinateSatelliteData*) { return kIidGeocoordinateSatelliteData; }
  static const IID& Iid(IGeopoint*) { return kIidGeopoint; }
  static const IID& Iid(IAsyncInfo*) { return kIidAsyncInfo; }
  // The parameterized IIDs of IAsyncOperation<T> are not needed: nobody asks for them.
  template <class Result>
  static const IID& Iid(IAsyncOperation<Result>*) {
    static constexpr IID kNone{};
    return kNone;
  }
  static const IID& Iid(IReferenceDouble*) {
    return Iid(static_cast<IAsyncOperation<int>*>(nullptr));
  }
  std::atomic<ULONG> references_{1};
};

class Reference : public Object<IReferenceDouble> {
 public:
  explicit Reference(double value) : value_(value) {}
  HRESULT STDMETHODCALLTYPE get_Value(double* value) override { return *value = value_, S_OK; }

 private:
  double value_;
};

class Point : public Object<IGeopoint> {
 public:
  explicit Point(BasicGeoposition position) : position_(position) {}
  HRESULT STDMETHODCALLTYPE get_Position(BasicGeoposition* value) override {
    return *value = position_, S_OK;
  }

 private:
  BasicGeoposition position_;
};

class SatelliteData : public Object<IGeocoordinateSatelliteData> {
 public:
  HRESULT STDMETHODCALLTYPE get_PositionDilutionOfPrecision(IReferenceDouble** v) override {
    return *v = new Reference(1.6), S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_HorizontalDilutionOfPrecision(IReferenceDouble** v) override {
    return *v = new Reference(0.9), S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_VerticalDilutionOfPrecision(IReferenceDouble** v) override {
    return *v = nullptr, S_OK;
  }
};

struct Fix {
  double latitude, longitude, accuracy;
  PositionSource source;
};

class Coordinate
    : public Object<IGeocoordinate, IGeocoordinateWithPoint, IGeocoordinateWithPositionData> {
 public:
  explicit Coordinate(Fix fix) : fix_(fix) {}
  HRESULT STDMETHODCALLTYPE get_Latitude(double* v) override { return *v = fix_.latitude, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Longitude(double* v) override { return *v = fix_.longitude, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Altitude(IReferenceDouble** v) override {
    return *v = nullptr, S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Accuracy(double* v) override { return *v = fix_.accuracy, S_OK; }
  HRESULT STDMETHODCALLTYPE get_AltitudeAccuracy(IReferenceDouble** v) override {
    return *v = nullptr, S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Heading(IReferenceDouble** v) override {
    return *v = nullptr, S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Speed(IReferenceDouble** v) override { return *v = nullptr, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Timestamp(DateTime* v) override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    v->universalTime = int64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Point(IGeopoint** v) override {
    return *v = new Point({fix_.latitude, fix_.longitude, 0.0}), S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_PositionSource(PositionSource* v) override {
    return *v = fix_.source, S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SatelliteData(IGeocoordinateSatelliteData** v) override {
    *v = fix_.source == PositionSource::Satellite ? new SatelliteData : nullptr;
    return S_OK;
  }

 private:
  Fix fix_;
};

class Position : public Object<IGeoposition> {
 public:
  explicit Position(Fix fix) : fix_(fix) {}
  HRESULT STDMETHODCALLTYPE get_Coordinate(IGeocoordinate** v) override {
    return *v = new Coordinate(fix_), S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CivicAddress(IInspectable** v) override {
    return *v = nullptr, S_OK;
  }

 private:
  Fix fix_;
};

// An operation that completes when its time comes: with its result, or its error.
template <class Result>
class Operation : public Object<IAsyncOperation<Result>, IAsyncInfo> {
 public:
  Operation(Clock::duration delay, Result result, HRESULT error)
      : ready_(Clock::now() + delay), result_(result), error_(error) {}
  ~Operation() override {
    if constexpr (std::is_pointer_v<Result>) {
      if (result_) result_->Release();
    }
  }
  HRESULT STDMETHODCALLTYPE put_Completed(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Completed(IUnknown** handler) override {
    return *handler = nullptr, S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetResults(Result* results) override {
    if (Status() != Completed) return kIllegalMethodCall;
    *results = result_;
    if constexpr (std::is_pointer_v<Result>) result_->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Id(unsigned int* id) override { return *id = 1, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) override {
    return *status = Status(), S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* error) override {
    *error = Status() == Error ? error_ : S_OK;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Cancel() override {
    Log("cancel");
    canceled_ = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 private:
  AsyncStatus Status() const {
    if (canceled_) return Canceled;
    if (Clock::now() < ready_) return Started;
    return FAILED(error_) ? Error : Completed;
  }
  Clock::time_point ready_;
  Result result_;
  HRESULT error_;
  std::atomic<bool> canceled_{false};
};

class Geolocator : public Object<IGeolocator> {
 public:
  HRESULT STDMETHODCALLTYPE get_DesiredAccuracy(PositionAccuracy* v) override {
    return *v = accuracy_, S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_DesiredAccuracy(PositionAccuracy v) override {
    Log("accuracy=" + std::to_string(int(v)));
    return accuracy_ = v, S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_MovementThreshold(double* v) override { return *v = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE put_MovementThreshold(double) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_ReportInterval(UINT32* v) override { return *v = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE put_ReportInterval(UINT32) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_LocationStatus(PositionStatus* v) override {
    *v = Mode() == "denied" ? PositionStatus::Disabled : PositionStatus::Ready;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetGeopositionAsync(IAsyncOperation<IGeoposition*>** op) override {
    return GetGeopositionAsyncWithAgeAndTimeout({0}, {0}, op);
  }
  HRESULT STDMETHODCALLTYPE GetGeopositionAsyncWithAgeAndTimeout(
      TimeSpan age, TimeSpan timeout, IAsyncOperation<IGeoposition*>** op) override {
    Log("position age=" + std::to_string(age.duration / 10'000'000) +
        " timeout=" + std::to_string(timeout.duration / 10'000'000));
    using std::chrono::milliseconds;
    if (Mode() == "timeout") {  // the service's own time-out, run fast
      *op = new Operation<IGeoposition*>(milliseconds(300), nullptr,
                                         HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    } else if (Mode() == "denied") {
      *op = new Operation<IGeoposition*>(milliseconds(0), nullptr, E_ACCESSDENIED);
    } else {
      const Fix fix = requests_++ == 0 ? Fix{55.7558, 37.6173, 350.0, PositionSource::WiFi}
                                       : Fix{55.75583, 37.61729, 4.2, PositionSource::Satellite};
      *op = new Operation<IGeoposition*>(milliseconds(200), new Position(fix), S_OK);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE add_PositionChanged(IUnknown*, EventToken*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE remove_PositionChanged(EventToken) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE add_StatusChanged(IUnknown*, EventToken*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE remove_StatusChanged(EventToken) override { return E_NOTIMPL; }

 private:
  PositionAccuracy accuracy_ = PositionAccuracy::Default;
  int requests_ = 0;
};

class Factory : public Object<IActivationFactory, IGeolocatorStatics> {
 public:
  HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override {
    Log("activate");
    *instance = static_cast<IGeolocator*>(new Geolocator);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  RequestAccessAsync(IAsyncOperation<GeolocationAccessStatus>** op) override {
    Log("access");
    const auto access =
        Mode() == "denied" ? GeolocationAccessStatus::Denied : GeolocationAccessStatus::Allowed;
    *op = new Operation<GeolocationAccessStatus>(std::chrono::milliseconds(100), access, S_OK);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetGeopositionHistoryAsync(DateTime, IInspectable**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetGeopositionHistoryWithDurationAsync(DateTime, TimeSpan,
                                                                   IInspectable**) override {
    return E_NOTIMPL;
  }
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetActivationFactory(HSTRING, IActivationFactory** factory) {
  *factory = new Factory;
  return S_OK;
}
