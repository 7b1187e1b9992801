#include "pour/point_layer.hpp"

#include <cpl_string.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <memory>

#include "base/fatal.hpp"
#include "grid/quiet_gdal.hpp"
#include "pour/refuse_input.hpp"

namespace orograd::pour {

namespace {

struct DatasetCloser {
  void operator()(void* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

struct FeatureDestroyer {
  void operator()(OGRFeatureH feature) const { OGR_F_Destroy(feature); }
};
using Feature = std::unique_ptr<std::remove_pointer_t<OGRFeatureH>, FeatureDestroyer>;

bool is_csv(const std::string& file_name) {
  GDALDriverH driver = GDALIdentifyDriverEx(file_name.c_str(), GDAL_OF_VECTOR, nullptr, nullptr);
  return driver != nullptr && EQUAL(GDALGetDriverShortName(driver), "CSV");
}

Dataset open_vector(const std::string& file_name) {
  register_gdal_drivers();
  QuietGdal quiet;
  CPLStringList options;
  if (is_csv(file_name)) {
    options.SetNameValue("X_POSSIBLE_NAMES", "x,lon,long,longitude,easting,east");
    options.SetNameValue("Y_POSSIBLE_NAMES", "y,lat,latitude,northing,north");
    options.SetNameValue("KEEP_GEOM_COLUMNS", "NO");
    options.SetNameValue("AUTODETECT_TYPE", "YES");
  }
  Dataset dataset(GDALOpenEx(file_name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, options.List(), nullptr));
  if (!dataset)
    refuse_input("cannot open the points file " + file_name + ": " +
                     QuietGdal::last_message("none of GDAL's vector formats matches its contents"),
                 2);
  return dataset;
}

bool is_point_type(OGRwkbGeometryType type) { return wkbFlatten(type) == wkbPoint; }

OGRLayerH choose_layer(void* dataset, const std::string& file_name) {
  OGRLayerH mixed = nullptr;
  for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
    OGRLayerH layer = GDALDatasetGetLayer(dataset, i);
    const OGRwkbGeometryType type = OGR_L_GetGeomType(layer);
    if (is_point_type(type)) return layer;
    if (type == wkbUnknown && mixed == nullptr) mixed = layer;
  }
  if (mixed == nullptr)
    refuse_input(file_name + " has no point layer (a CSV file needs coordinate columns such as x and y)");
  return mixed;
}

int code_field_index(OGRLayerH layer, const std::string& code_field, const std::string& file_name) {
  OGRFeatureDefnH definition = OGR_L_GetLayerDefn(layer);
  const int index = OGR_FD_GetFieldIndex(definition, code_field.c_str());
  if (index >= 0) return index;
  std::string fields;
  for (int i = 0; i < OGR_FD_GetFieldCount(definition); ++i)
    fields += std::string(i > 0 ? ", " : "") + OGR_Fld_GetNameRef(OGR_FD_GetFieldDefn(definition, i));
  refuse_input("the point layer of " + file_name + " has no field '" + code_field +
               "' (its fields: " + (fields.empty() ? "none" : fields) + "); name the code field with --code");
}

std::string layer_coordinate_system(OGRLayerH layer) {
  OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(layer);
  if (srs == nullptr) return "";
  char* text = nullptr;
  std::string wkt;
  if (OSRExportToWkt(srs, &text) == OGRERR_NONE) wkt = text;
  CPLFree(text);
  return wkt;
}

GaugePoint gauge_of(OGRFeatureH feature, int field, std::size_t number, const std::string& file_name) {
  OGRGeometryH geometry = OGR_F_GetGeometryRef(feature);
  const std::string which = format("feature %zu of %s", number, file_name.c_str());
  if (geometry == nullptr) refuse_input(which + " has no geometry");
  if (!is_point_type(OGR_G_GetGeometryType(geometry)))
    refuse_input(which + " is a " + OGR_G_GetGeometryName(geometry) + ", not a point");
  if (OGR_G_IsEmpty(geometry)) refuse_input(which + " is an empty point");
  return {OGR_G_GetX(geometry, 0), OGR_G_GetY(geometry, 0),
          OGR_F_IsFieldSetAndNotNull(feature, field) ? OGR_F_GetFieldAsString(feature, field) : ""};
}

}  // namespace

PointLayer read_point_layer(const std::string& file_name, const std::string& code_field) {
  const Dataset dataset = open_vector(file_name);
  OGRLayerH layer = choose_layer(dataset.get(), file_name);
  const int field = code_field_index(layer, code_field, file_name);
  PointLayer result{layer_coordinate_system(layer), {}};
  OGR_L_ResetReading(layer);
  for (Feature feature(OGR_L_GetNextFeature(layer)); feature; feature.reset(OGR_L_GetNextFeature(layer)))
    result.points.push_back(gauge_of(feature.get(), field, result.points.size() + 1, file_name));
  return result;
}

}  // namespace orograd::pour
