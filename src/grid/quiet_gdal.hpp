#pragma once
// GDAL's driver registration and the silencing of its messages, shared by the code
// that calls GDAL (rasters here, point layers in orograd-pour). Only with OROGRAD_GDAL.
#if OROGRAD_GDAL
#include <cpl_error.h>
#include <gdal.h>

#include <string>

namespace orograd {

// Registers GDAL's drivers once per process.
inline void register_gdal_drivers() {
  static const bool registered = [] {
    GDALAllRegister();
    return true;
  }();
  (void)registered;
}

// GDAL's messages stay quiet while an object of this kind lives; last_message()
// gives the latest one.
class QuietGdal {
 public:
  QuietGdal() {
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
  }
  ~QuietGdal() { CPLPopErrorHandler(); }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;
  static bool failed() { return CPLGetLastErrorType() >= CE_Failure; }
  // GDAL's latest message, or `otherwise` when it gave none.
  static std::string last_message(const char* otherwise = "GDAL gives no reason") {
    const char* message = CPLGetLastErrorMsg();
    return message != nullptr && *message != '\0' ? message : otherwise;
  }
};

}  // namespace orograd
#endif
